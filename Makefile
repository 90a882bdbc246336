# The two set-up commands of README.md: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
DEMO := $(BUILD)/demo

FUZZ_BUILD ?= build-fuzz
ASAN_BUILD := build-asan

.PHONY: deps configure build run test format-check test-asan tidy fuzz-build fuzz-smoke fuzz fuzz-coverage bench clean

deps:
	./scripts/install-deps.sh

# Warnings in the project's own code fail this build; the libraries it uses are not held to it.
configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLUVICAM_WERROR=ON

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

# The formatting check, the Release suite, the fuzz smoke runs, then the whole suite again under
# the sanitizers.
test: format-check build fuzz-smoke
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-asan

# Every tracked C++ source as .clang-format lays it out; a file that differs is named and fails.
format-check: deps
	@files="$$(git ls-files -- '*.cpp' '*.h')" && [ -n "$$files" ] || \
	  { echo "format-check: no tracked C++ sources; it needs the git checkout" >&2; exit 1; }; \
	echo "$$files" | tr '\n' '\0' | xargs -0 clang-format --dry-run -Werror

# The whole suite, GUI tests included, in a Debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer (the dev-asan preset of CMakePresets.json).
test-asan: deps
	cmake --preset dev-asan
	cmake --build --preset dev-asan -j $(JOBS)
	ctest --preset dev-asan -j $(JOBS)

# The curated clang-tidy checks of .clang-tidy over the sources, on the build's compile database.
tidy: build
	run-clang-tidy -p $(BUILD) -quiet '/(src|cli|tools)/'

# The fuzzers, built with clang's libFuzzer and sanitizers, seeded from synthetic days and from
# the minimised corpora kept in fuzz/corpus/. The test run is a short smoke run of each; `make
# fuzz` a long one (SECONDS_TO_FUZZ each) that merges what it found back into fuzz/corpus/;
# `make fuzz-coverage` reports the line coverage that the corpora reach, per source folder.
FUZZERS := fuzz_walk fuzz_seek fuzz_document fuzz_wind fuzz_settings fuzz_tip
FUZZ_CORPUS := fuzz/corpus
FUZZ_COV_BUILD := build-fuzz-cov

$(FUZZ_BUILD)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPLUVICAM_FUZZ=ON -DPLUVICAM_TESTS=OFF -DPLUVICAM_BENCH=OFF -DPLUVICAM_GUI=OFF

fuzz-build: $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZERS) fuzz_seeds
	rm -rf $(FUZZ_BUILD)/seeds
	$(FUZZ_BUILD)/fuzz/fuzz_seeds $(FUZZ_BUILD)/seeds

# New inputs go to the first folder: a scratch one, never the kept corpus.
fuzz-smoke: fuzz-build
	set -e; for f in $(FUZZERS); do \
	  rm -rf $(FUZZ_BUILD)/smoke/$$f; \
	  mkdir -p $(FUZZ_BUILD)/smoke/$$f $(FUZZ_BUILD)/seeds/$$f $(FUZZ_CORPUS)/$$f; \
	  $(FUZZ_BUILD)/fuzz/$$f -runs=3000 -seed=1 $(FUZZ_BUILD)/smoke/$$f \
	    $(FUZZ_BUILD)/seeds/$$f $(FUZZ_CORPUS)/$$f; done

fuzz: fuzz-build
	set -e; for f in $(FUZZERS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$f $(FUZZ_BUILD)/seeds/$$f $(FUZZ_CORPUS)/$$f; \
	  $(FUZZ_BUILD)/fuzz/$$f $(FUZZ_BUILD)/corpus/$$f $(FUZZ_CORPUS)/$$f $(FUZZ_BUILD)/seeds/$$f \
	    -max_total_time=$${SECONDS_TO_FUZZ:-600}; \
	  ./scripts/fuzz-merge.sh $(FUZZ_BUILD)/fuzz/$$f $(FUZZ_CORPUS)/$$f $(FUZZ_BUILD)/corpus/$$f; \
	done

fuzz-coverage: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_COV_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DPLUVICAM_FUZZ=ON -DPLUVICAM_FUZZ_COVERAGE=ON -DPLUVICAM_TESTS=OFF -DPLUVICAM_BENCH=OFF \
	  -DPLUVICAM_GUI=OFF
	cmake --build $(FUZZ_COV_BUILD) -j $(JOBS) --target $(FUZZERS) fuzz_seeds
	rm -rf $(FUZZ_COV_BUILD)/seeds
	LLVM_PROFILE_FILE=/dev/null $(FUZZ_COV_BUILD)/fuzz/fuzz_seeds $(FUZZ_COV_BUILD)/seeds
	./scripts/fuzz-coverage.sh $(FUZZ_COV_BUILD) $(FUZZ_COV_BUILD)/seeds $(FUZZ_CORPUS) $(FUZZERS)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(FUZZ_COV_BUILD) $(ASAN_BUILD)
