# The two entry points of the README: `make run` and `make test`. Each
# installs what is missing, configures, builds into build/ and then runs.
PACKAGES := g++ cmake make pkg-config libncurses-dev libgtest-dev libbenchmark-dev tmux clang libclang-rt-14-dev valgrind procps
PRESET ?= default
CMAKE_ARGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test build deps clean

run: build
	./build/bin/quillbay

test: build
	ctest --preset $(PRESET) -j $(JOBS)

build: deps
	cmake --preset $(PRESET) $(CMAKE_ARGS)
	cmake --build --preset $(PRESET) -j $(JOBS)

deps:
	@bash tools/ensure-packages.sh $(PACKAGES)

clean:
	rm -rf build build-asan build-tsan build-fuzz
