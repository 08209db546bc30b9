# Quick start:
#   make run ARGS="/NOGUI /XML report.xml /usr"   installs, builds and runs dromlet
#   make test                                     installs, builds and runs every test
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all deps build run test test-release test-asan test-tsan bench clean

all: build

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/bin/dromlet $(ARGS)

test: test-release test-asan test-tsan test-fuzz

test-release: deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# AddressSanitizer and UndefinedBehaviorSanitizer over every test.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKELVANE_SANITIZE=ON -DKELVANE_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# ThreadSanitizer over the engine's tests (label "engine").
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKELVANE_TSAN=ON -DKELVANE_BENCH=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -L engine -j $(JOBS)

# The report readers under libFuzzer for a bounded time, seeded with reports
# and a history file the built program writes.
test-fuzz: test-release
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVANE_FUZZ=ON -DKELVANE_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target report_fuzzer
	rm -rf $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/home && mkdir -p $(FUZZ_BUILD)/corpus
	XDG_DATA_HOME=$(CURDIR)/$(FUZZ_BUILD)/home XDG_CONFIG_HOME=$(CURDIR)/$(FUZZ_BUILD)/home \
	  ./$(BUILD)/bin/dromlet /NOGUI /XML $(FUZZ_BUILD)/corpus/src.xml src /XML $(FUZZ_BUILD)/corpus/tests.xml tests
	cp "$(FUZZ_BUILD)/home/Brask Software/Kelvane Professional/scanhistory.xml" $(FUZZ_BUILD)/corpus/
	./$(FUZZ_BUILD)/bin/report_fuzzer $(FUZZ_BUILD)/corpus -max_total_time=$(FUZZ_SECONDS) -max_len=100000 -print_final_stats=1

bench: build
	bash bench/run.sh

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD)
