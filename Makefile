# The two entry points of the README: `make run` and `make test`. Each
# installs what is missing, configures, builds into build/ and then runs.
# `make run` needs only what building quillbay needs and builds only it;
# `make test` installs the rest and builds everything.
RUN_PACKAGES := g++ cmake make pkg-config libncurses-dev
TEST_PACKAGES := $(RUN_PACKAGES) libgtest-dev libbenchmark-dev tmux clang libclang-rt-14-dev valgrind mandoc man-db procps python3
PRESET ?= default
CMAKE_ARGS ?=
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# The end-to-end tests spend most of their time waiting for real seconds to
# pass, so more of them run at once than there are cores.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) * 5 )))
# A first configuration for `make run` (the run preset) leaves out the
# tests, whose packages may be missing, and the debug information, which
# takes a quarter of the compile time. One that exists, `make test`'s
# among them, is kept as it is; `make test` sets its own flags again.
RUN_CONFIGURE := $(if $(wildcard build/CMakeCache.txt),cmake -S . -B build,cmake --preset run)
# Output that fits an 80-column terminal: one line per finished target
# rather than one per object file, whose paths run past 80 columns, and no
# "Entering directory" lines from the makes that cmake starts.
QUIET_BUILD := -DCMAKE_RULE_MESSAGES=OFF
MAKEFLAGS += --no-print-directory

.PHONY: run test build deps clean

run:
	@bash tools/ensure-packages.sh $(RUN_PACKAGES)
	$(RUN_CONFIGURE) $(QUIET_BUILD) $(CMAKE_ARGS)
	cmake --build build --target quillbay -j $(JOBS)
	./build/bin/quillbay

# Everything but the fuzz configuration and its runs, which .ci/run adds.
test: build
	ctest --preset $(PRESET) -LE fuzz -j $(TEST_JOBS)

build: deps
	cmake --preset $(PRESET) -DBUILD_TESTING=ON $(QUIET_BUILD) $(CMAKE_ARGS)
	cmake --build --preset $(PRESET) -j $(JOBS)

deps:
	@bash tools/ensure-packages.sh $(TEST_PACKAGES)

clean:
	rm -rf build build-asan build-tsan build-fuzz build-arm64 build-armhf build-s390x
