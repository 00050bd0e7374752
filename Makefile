# Entry points for developers and CI. Each target installs what it needs first.
BUILD ?= build
JOBS ?= $(shell nproc)
# The demo and the install need only these; the tests need GoogleTest too.
DEMO_PACKAGES = cmake g++ make libboost-dev zlib1g-dev
PACKAGES = $(DEMO_PACKAGES) libgtest-dev libgmock-dev
PREFIX ?= /usr/local
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
FUZZ_SECONDS ?= 30
FUZZ_RUNS ?= 0

.PHONY: all deps build test test-shuffle test-sanitize fuzz bench demo format clean
.PHONY: demo-deps demo-build install

all: build

deps:
	@tools/install_deps.sh $(PACKAGES)

demo-deps:
	@tools/install_deps.sh $(DEMO_PACKAGES)

# Only the coach and the practice server: what the demo runs. The demo and the
# install configure without the test suite (so without looking for GoogleTest);
# the build and the tests configure with it, whatever the cache held before.
demo-build: demo-deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENVO_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS) --target brenvo_coach practice_server

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENVO_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300 --no-tests=error

# Every test program again, in one process each with its tests shuffled and
# repeated three times: no test may depend on the order or on running alone.
# The seed is shown; SHUFFLE_SEED=N repeats a run.
test-shuffle: build
	@seed=$${SHUFFLE_SEED:-$$(( $$(date +%s) % 99999 + 1 ))}; \
	for program in $(BUILD)/test_*; do \
	  [ -f "$$program" ] && [ -x "$$program" ] || continue; \
	  echo "$$program --gtest_shuffle --gtest_repeat=3 --gtest_random_seed=$$seed"; \
	  "$$program" --gtest_shuffle --gtest_repeat=3 --gtest_random_seed=$$seed --gtest_brief=1 \
	    || exit 1; \
	done

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBRENVO_SANITIZE=ON -DBRENVO_TESTS=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

# Every fuzz target for FUZZ_SECONDS each (or FUZZ_RUNS executions each).
fuzz: deps
	@tools/install_deps.sh clang libclang-rt-14-dev
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENVO_FUZZ=ON -DBRENVO_TESTS=OFF
	cmake --build $(FUZZ_BUILD) --target fuzz_targets -j $(JOBS)
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_RUNS)

bench: deps
	@tools/install_deps.sh libbenchmark-dev
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DBRENVO_BENCH=ON -DBRENVO_TESTS=OFF
	cmake --build $(BENCH_BUILD) --target brenvo_bench -j $(JOBS)
	$(BENCH_BUILD)/brenvo_bench --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true

demo: demo-build
	$(BUILD)/practice_server --demo --coach $(BUILD)/brenvo_coach

# PREFIX/bin/brenvo_coach, PREFIX/share/brenvo_coach/coach.conf and start.sh.
install: demo-deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRENVO_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS) --target brenvo_coach
	cmake --install $(BUILD) --prefix $(PREFIX)

format:
	clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
