# Zorvane: `make run` plays the game, `make test` runs every test. Both install what is missing.
BUILD ?= build
WERROR ?= OFF
JOBS ?= $(shell nproc)

.PHONY: deps build test run config

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
