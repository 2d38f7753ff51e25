# The two commands of the README: `make run` and `make test`.
JOBS    ?= $(shell nproc)
RELEASE := build/release
TESTDIR := build/test

.PHONY: deps run test bench fuzz gui docs clean release-build test-build

deps:
	@tools/install-deps

release-build: deps
	@cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DLORIMANT_TESTS=OFF >/dev/null
	@cmake --build $(RELEASE) -j $(JOBS)

run: release-build
	@tools/run-main-job $(RELEASE)

test-build: deps
	@cmake -S . -B $(TESTDIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLORIMANT_SANITIZE=ON -DLORIMANT_NATIVE_PREDICATES=ON >/dev/null
	@cmake --build $(TESTDIR) -j $(JOBS)

# After the build: every header from outside the tree must come from a
# package that tools/install-deps installs (the build's records say which).
test: test-build
	@tools/check-deps $(TESTDIR)
	@cd $(TESTDIR) && xvfb-run -a -s "-screen 0 1280x1024x24" \
	    ctest --output-on-failure --no-tests=error -j $(JOBS)

# docs/macros.md is generated from the program's dispatch tables and
# descriptions; the test that checks it writes it again when asked to.
docs: test-build
	@cd $(TESTDIR) && LORIMANT_WRITE_DOCS=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
	    lorimant/lorimant_tests --gtest_filter=MacroReference.DocsFileIsWhatTheDataGives >/dev/null
	@echo "docs/macros.md written"

bench:
	@tools/install-deps bench
	@cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLORIMANT_TESTS=OFF -DLORIMANT_BENCH=ON >/dev/null
	@cmake --build build/bench -j $(JOBS)
	@if [ -x build/bench/bench/lorimant_bench ]; then OMP_NUM_THREADS=1 OPENBLAS_NUM_THREADS=1 build/bench/bench/lorimant_bench; else echo "no benchmarks yet"; fi

# Builds every fuzz target with clang's libFuzzer and runs each for
# FUZZ_SECONDS seconds; crash files stay under build/fuzz/runs/.
FUZZ_SECONDS ?= 60
fuzz:
	@tools/install-deps fuzz
	@cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLORIMANT_TESTS=OFF -DLORIMANT_FUZZ=ON \
	    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
	@cmake --build build/fuzz -j $(JOBS) --target fuzz_all
	@tools/run-fuzz build/fuzz $(FUZZ_SECONDS)

gui: release-build
	@$(RELEASE)/lorimant/lorimant

clean:
	rm -rf build
