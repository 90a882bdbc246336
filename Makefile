# The two set-up commands of README.md: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
DEMO := $(BUILD)/demo

FUZZ_BUILD ?= build-fuzz
ASAN_BUILD := build-asan

.PHONY: deps configure build run test test-asan tidy fuzz-smoke fuzz bench clean

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

$(DEMO)/demo.hyd: | build
	mkdir -p $(DEMO)
	$(BUILD)/pluvicam-synth demo --out $(DEMO) --name demo

# The desktop application on the demo day; without a display it says so, and the command-line
# tool shows the day's figures instead.
run: build $(DEMO)/demo.hyd
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/pluvicam $(DEMO)/demo.hyd; \
	else \
	  $(BUILD)/pluvicam $(DEMO)/demo.hyd || true; \
	  $(BUILD)/pluvicam-cli info $(DEMO)/demo.hyd; \
	fi

test: build fuzz-smoke
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite, GUI tests included, in a Debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer (the dev-asan preset of CMakePresets.json).
test-asan: deps
	cmake --preset dev-asan
	cmake --build --preset dev-asan -j $(JOBS)
	ctest --preset dev-asan -j $(JOBS)

# The curated clang-tidy checks of .clang-tidy over the sources, on the build's compile database.
tidy: build
	run-clang-tidy -p $(BUILD) -quiet '/(src|cli|tools)/'

# The reader fuzzer, built with clang's libFuzzer and sanitizers; the test run is a short smoke
# run, `make fuzz` a long one.
$(FUZZ_BUILD)/fuzz/fuzz_walk: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPLUVICAM_FUZZ=ON -DPLUVICAM_TESTS=OFF -DPLUVICAM_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_walk

fuzz-smoke: $(FUZZ_BUILD)/fuzz/fuzz_walk $(FUZZ_BUILD)/fuzz/fuzz_tip
	$(FUZZ_BUILD)/fuzz/fuzz_walk -runs=3000 -seed=1
	$(FUZZ_BUILD)/fuzz/fuzz_tip -runs=3000 -seed=1

$(FUZZ_BUILD)/fuzz/fuzz_tip: $(FUZZ_BUILD)/fuzz/fuzz_walk
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_tip

fuzz: $(FUZZ_BUILD)/fuzz/fuzz_walk
	mkdir -p $(FUZZ_BUILD)/corpus
	$(FUZZ_BUILD)/fuzz/fuzz_walk $(FUZZ_BUILD)/corpus -max_total_time=$${SECONDS_TO_FUZZ:-600}

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(ASAN_BUILD)
