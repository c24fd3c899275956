# Entry points: `make run` (the program with the virtual instrument) and `make test` (everything CI checks).
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_COMMON = -DKRV_WERROR=ON

.PHONY: deps build build-asan build-tsan build-fuzz test test-unit test-asan test-tsan test-fuzz bench run clean

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_COMMON) >/dev/null
	@cmake --build build -j$(JOBS)

build-asan: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKRV_SANITIZE=address,undefined -DKRV_BENCH=OFF $(CMAKE_COMMON) >/dev/null
	@cmake --build build-asan -j$(JOBS)

# The comms-thread suites (tests/link) also run under ThreadSanitizer.
build-tsan: deps
	@if [ -d tests/link ]; then \
	  cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DKRV_SANITIZE=thread -DKRV_BENCH=OFF $(CMAKE_COMMON) >/dev/null && \
	  cmake --build build-tsan -j$(JOBS) --target tests_link; fi

build-fuzz: deps
	@scripts/build-fuzzers.sh

test: test-unit test-asan test-tsan test-fuzz
	@echo "All test suites passed."

test-unit: build
	@cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) --timeout 600

test-asan: build-asan
	@cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$(JOBS) --timeout 900

test-tsan: build-tsan
	@if [ -d tests/link ]; then cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --output-on-failure -L '^link$$' --timeout 900; fi

test-fuzz: build-fuzz
	@scripts/run-fuzzers.sh

bench: build
	@for b in build/bench_*; do [ -x "$$b" ] && "$$b"; done

run: build
	@scripts/run-demo.sh

clean:
	rm -rf build build-asan build-tsan build-fuzz
