# Zorvane: `make run` plays the game, `make test` runs every test. Both install what is missing.
BUILD ?= build
WERROR ?= OFF
JOBS ?= $(shell nproc)

.PHONY: deps build test run config bench

deps:
	@bash tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DZORVANE_WERROR=$(WERROR) > $(BUILD).configure.log 2>&1 || \
		(cat $(BUILD).configure.log; exit 1)
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

run: build
	cd $(BUILD)/app && ./zorvane

config: build
	cd $(BUILD)/app && ./Config

# Figures, not tests: a frame's drawing and a tick, then the two programs' start under Xvfb.
bench: build
	$(BUILD)/bench/zorvane-frame-bench
	bash tools/bench/game_under_xvfb.sh $(BUILD)/bench/zorvane-start-bench $(BUILD)/app
	bash tools/bench/config_startup.sh $(BUILD)/app/Config
