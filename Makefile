# Zorvane: `make run` plays the game, `make test` runs every test. Both install what is missing.
BUILD ?= build
WERROR ?= OFF
JOBS ?= $(shell nproc)

.PHONY: deps build test run config bench fuzz dist

deps:
	@bash tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DZORVANE_WERROR=$(WERROR) > $(BUILD).configure.log 2>&1 || \
		(cat $(BUILD).configure.log; exit 1)
	@cmake --build $(BUILD) -j$(JOBS)

# Every test in the ordinary build, then every test again under the sanitizers.
test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)
	bash tools/test-sanitized.sh $(BUILD)-sanitize $(WERROR) $(JOBS)

run: build
	cd $(BUILD)/app && ./zorvane

config: build
	cd $(BUILD)/app && ./Config

# The release archive $(BUILD)/zorvane-<version>-linux-x86_64.tar.gz (tools/dist/Packaging.cmake).
dist: build
	cd $(BUILD) && cpack -G TGZ

# libFuzzer targets (clang, with ASan and UBSan) for the settings reader, the bitmap loader and
# the replay script parser, each run FUZZ_SECONDS; a crasher fails it (tools/fuzz/run-fuzzers.sh).
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DZORVANE_FUZZ=ON \
		> $(FUZZ_BUILD).configure.log 2>&1 || (cat $(FUZZ_BUILD).configure.log; exit 1)
	@cmake --build $(FUZZ_BUILD) -j$(JOBS)
	bash tools/fuzz/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Figures, not tests, each against a baseline measured in the same run: a frame's drawing, a
# tick and a bitmap load, then the two programs' start under Xvfb, then the game's CPU with and
# without an idle game controller. Repetitions in random turns keep a busy moment of the machine
# from falling on one side of a ratio only.
bench: build
	$(BUILD)/bench/zorvane-frame-bench --benchmark_repetitions=9 --benchmark_min_time=0.1 \
		--benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
	bash tools/bench/game_under_xvfb.sh $(BUILD)/bench/zorvane-start-bench $(BUILD)/app \
		$(BUILD)/bench/minimal-sdl
	bash tools/bench/config_startup.sh $(BUILD)/app/Config $(BUILD)/bench/minimal-qt
	bash tools/bench/idle_controller.sh $(BUILD)/bench/zorvane-controller-bench $(BUILD)/app
