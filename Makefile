# Zorvane. `make` builds, `make run` plays the game, `make test` runs every test but the soaks.
# Each target first installs, with apt-get, the Debian packages it needs and that are missing
# (tools/install-deps.sh), and nothing more.
BUILD ?= build
WERROR ?= OFF
JOBS ?= $(shell nproc)
# How long the real game, and two games and a watcher over the network, are played by
# `make soak`, in seconds, and how many ticks the replay soak runs.
SOAK_SECONDS ?= 600
SOAK_TICKS ?= 1000000

CMAKE_ARGS = -DZORVANE_WERROR=$(WERROR)
configure = cmake -S . -B $(1) $(2) > $(1).configure.log 2>&1 || (cat $(1).configure.log; exit 1)

.PHONY: all build run config test soak check sanitize bench fuzz dist deb

all: build

# The programs alone: the tests need packages of their own and are built by `make test`.
build:
	@bash tools/install-deps.sh build
	@$(call configure,$(BUILD),$(CMAKE_ARGS) -DBUILD_TESTING=OFF)
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@bash tools/install-deps.sh run
	cd $(BUILD)/app && ./zorvane

config: build
	@bash tools/install-deps.sh run
	cd $(BUILD)/app && ./Config

# Every test that is not a soak, in the ordinary build; the benchmarks are built too, so that
# they keep up with the code.
test:
	@bash tools/install-deps.sh test bench
	@$(call configure,$(BUILD),$(CMAKE_ARGS) -DBUILD_TESTING=ON -DZORVANE_BENCHMARKS=ON)
	@cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) -LE soak

# The long runs: a million replay ticks and the real game under Xvfb for SOAK_SECONDS, each
# printing its memory and open descriptors at the start and the end; 20,000 ticks over lossy
# relays and SOAK_SECONDS of network play at the players' pace, printing their figures.
soak:
	@bash tools/install-deps.sh test
	@$(call configure,$(BUILD),$(CMAKE_ARGS) -DBUILD_TESTING=ON \
		-DZORVANE_GAME_SOAK_SECONDS=$(SOAK_SECONDS) -DZORVANE_REPLAY_SOAK_TICKS=$(SOAK_TICKS))
	@cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure --verbose -L soak | \
		grep -E '^[0-9]+: (.*(resident|open files|ticks|net:)|FAIL|ok:)|tests passed|Passed|Failed'

# What CI runs: the tests, then the whole suite again under AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer (its fuzz corpus replays included).
check: test sanitize

sanitize:
	@bash tools/install-deps.sh test
	bash tools/test-sanitized.sh $(BUILD)-sanitize $(WERROR) $(JOBS)

# libFuzzer targets (clang, with ASan and UBSan) for the settings reader, the bitmap loader, the
# replay script parser and the network message decoder, each run FUZZ_SECONDS; a crasher fails it
# (tools/fuzz/run-fuzzers.sh).
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	@bash tools/install-deps.sh fuzz
	@$(call configure,$(FUZZ_BUILD),-DCMAKE_CXX_COMPILER=clang++ -DZORVANE_FUZZ=ON)
	@cmake --build $(FUZZ_BUILD) -j$(JOBS)
	bash tools/fuzz/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Figures, not tests, each against a baseline measured in the same run: a frame's drawing, a
# tick and a bitmap load, then the two programs' start under Xvfb, then the game's CPU with and
# without an idle game controller, then a jump in a recording of an hour, then the time from a
# key to the screen alone and over the network. Repetitions in random turns keep a busy moment
# of the machine from falling on one side of a ratio only.
bench:
	@bash tools/install-deps.sh test bench
	@$(call configure,$(BUILD),$(CMAKE_ARGS) -DBUILD_TESTING=ON -DZORVANE_BENCHMARKS=ON)
	@cmake --build $(BUILD) -j$(JOBS)
	$(BUILD)/bench/zorvane-frame-bench --benchmark_repetitions=9 --benchmark_min_time=0.1 \
		--benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
	bash tools/bench/game_under_xvfb.sh $(BUILD)/bench/zorvane-start-bench $(BUILD)/app \
		$(BUILD)/bench/minimal-sdl
	bash tools/bench/config_startup.sh $(BUILD)/app/Config $(BUILD)/bench/minimal-qt
	bash tools/bench/idle_controller.sh $(BUILD)/bench/zorvane-controller-bench $(BUILD)/app
	$(BUILD)/bench/zorvane-seek-bench
	bash tools/bench/net_lag.sh $(BUILD)/bench/zorvane-net-lag-bench $(BUILD)/app

# The release archive $(BUILD)/zorvane-<version>-linux-x86_64.tar.gz (tools/dist/Packaging.cmake).
dist: build
	cd $(BUILD) && cpack -G TGZ

# The Debian package $(BUILD)/zorvane_<version>_amd64.deb: the programs in /usr/games, their data
# in /usr/share/games/zorvane, settings in each user's home (tools/dist/DebianPackage.cmake).
deb:
	@bash tools/install-deps.sh deb
	@$(call configure,$(BUILD),$(CMAKE_ARGS) -DBUILD_TESTING=OFF)
	@cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && cpack -G DEB
