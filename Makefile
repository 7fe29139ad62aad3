# The two entry points of the README: `make run` and `make test`. Each
# installs what is missing, configures, builds into build/ and then runs.
PACKAGES := g++ cmake make pkg-config libncurses-dev libgtest-dev libbenchmark-dev tmux clang libclang-rt-14-dev valgrind
PRESET ?= default
CMAKE_ARGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# The end-to-end tests spend most of their time waiting for real seconds to
# pass, so more of them run at once than there are cores.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) * 3 )))

.PHONY: run test build deps clean

run: build
	./build/bin/quillbay

# Everything but the fuzz configuration and its runs, which .ci/run adds.
test: build
	ctest --preset $(PRESET) -LE fuzz -j $(TEST_JOBS)

build: deps
	cmake --preset $(PRESET) $(CMAKE_ARGS)
	cmake --build --preset $(PRESET) -j $(JOBS)

deps:
	@bash tools/ensure-packages.sh $(PACKAGES)

clean:
	rm -rf build build-asan build-tsan build-fuzz
