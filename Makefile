# The two set-up commands of README.md: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
DEMO := $(BUILD)/demo

.PHONY: deps configure build run test bench clean

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

$(DEMO)/demo.hyd: | build
	mkdir -p $(DEMO)
	$(BUILD)/pluvicam-synth demo --out $(DEMO) --name demo

run: build $(DEMO)/demo.hyd
	$(BUILD)/pluvicam-cli info $(DEMO)/demo.hyd

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
