# The two commands of the README: `make run` and `make test`.
JOBS    ?= $(shell nproc)
RELEASE := build/release
TESTDIR := build/test

.PHONY: deps run test bench gui clean release-build test-build

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

test: test-build
	@cd $(TESTDIR) && xvfb-run -a -s "-screen 0 1280x1024x24" \
	    ctest --output-on-failure --no-tests=error -j $(JOBS)

bench: deps
	@cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLORIMANT_TESTS=OFF -DLORIMANT_BENCH=ON >/dev/null
	@cmake --build build/bench -j $(JOBS)
	@if [ -x build/bench/bench/lorimant_bench ]; then build/bench/bench/lorimant_bench; else echo "no benchmarks yet"; fi

gui: release-build
	@$(RELEASE)/lorimant/lorimant

clean:
	rm -rf build
