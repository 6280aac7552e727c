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
# The browser's build, and the port make web-serve serves its page on.
WEB ?= $(BUILD)/web
WEB_PORT ?= 8000

# The cache of a build folder keeps whatever the last configure set, so each target that
# configures $(BUILD) sets every option of it, and the README's commands work in any order.
CMAKE_ARGS = -DZORVANE_WERROR=$(WERROR)
PROGRAMS_ONLY = $(CMAKE_ARGS) -DBUILD_TESTING=OFF -DZORVANE_BENCHMARKS=OFF
WITH_TESTS = $(CMAKE_ARGS) -DBUILD_TESTING=ON -DZORVANE_BENCHMARKS=ON \
	-DZORVANE_GAME_SOAK_SECONDS=$(SOAK_SECONDS) -DZORVANE_REPLAY_SOAK_TICKS=$(SOAK_TICKS)
configure = cmake -S . -B $(1) $(2) > $(1).configure.log 2>&1 || (cat $(1).configure.log; exit 1)

.PHONY: all build run config test soak check sanitize bench fuzz dist deb web web-serve web-test

all: build

# The programs alone: the tests need packages of their own and are built by `make test`.
build:
	@bash tools/install-deps.sh build
	@$(call configure,$(BUILD),$(PROGRAMS_ONLY))
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
	@$(call configure,$(BUILD),$(WITH_TESTS))
	@cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS) -LE soak

# The long runs: a million replay ticks and the real game under Xvfb for SOAK_SECONDS, each
# printing its memory and open descriptors at the start and the end; 20,000 ticks over lossy
# relays and SOAK_SECONDS of network play at the players' pace, printing their figures.
soak:
	@bash tools/install-deps.sh test bench
	@$(call configure,$(BUILD),$(WITH_TESTS))
	@cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && ctest --output-on-failure --verbose -L soak | \
		grep -E '^[0-9]+: (.*(resident|open files|ticks|net:|float texts)|FAIL|ok:)|tests passed|Passed|Failed'

# What CI runs: the tests, then the whole suite again under AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer (its fuzz corpus replays included), then the browser's build: the
# replay scripts under node and the page in headless Chromium.
check: test sanitize web-test

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
# tick and a bitmap load, then the two programs' start under Xvfb, then the game's CPU as it
# starts, with an idle game controller and in its small window, then a jump in a recording of an
# hour, then the computer's match-ups in the arena (ARENA_ROUNDS each) and the game's CPU with the
# computer playing, then the time from a key to the screen alone and over the network; last, the
# page's downloads, first frame and pace in headless Chromium. Repetitions in random turns keep a
# busy moment of the machine from falling on one side of a ratio only.
ARENA_ROUNDS ?= 1000
bench: web
	@bash tools/install-deps.sh test bench browser
	@$(call configure,$(BUILD),$(WITH_TESTS))
	@cmake --build $(BUILD) -j$(JOBS)
	$(BUILD)/bench/zorvane-frame-bench --benchmark_repetitions=9 --benchmark_min_time=0.1 \
		--benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
	bash tools/bench/game_under_xvfb.sh $(BUILD)/bench/zorvane-start-bench $(BUILD)/app \
		$(BUILD)/bench/minimal-sdl
	bash tools/bench/config_startup.sh $(BUILD)/bench/zorvane-start-bench $(BUILD)/app/Config \
		$(BUILD)/bench/minimal-qt
	bash tools/bench/config_startup.sh $(BUILD)/bench/zorvane-start-bench $(BUILD)/app/Config \
		$(BUILD)/bench/minimal-qt-text
	bash tools/bench/game_cpu.sh $(BUILD)/bench/zorvane-cpu-bench $(BUILD)/app
	$(BUILD)/bench/zorvane-seek-bench
	bash tools/bench/computer.sh $(BUILD)/app $(ARENA_ROUNDS)
	bash tools/bench/net_lag.sh $(BUILD)/bench/zorvane-net-lag-bench $(BUILD)/app
	/usr/bin/python3 tools/bench/web_page.py $(WEB)/site

# The release archive $(BUILD)/zorvane-<version>-linux-x86_64.tar.gz (tools/dist/Packaging.cmake).
dist: build
	cd $(BUILD) && cpack -G TGZ

# The Debian package $(BUILD)/zorvane_<version>_amd64.deb: the programs in /usr/games, their data
# in /usr/share/games/zorvane, settings in each user's home (tools/dist/DebianPackage.cmake).
deb:
	@bash tools/install-deps.sh deb
	@$(call configure,$(BUILD),$(PROGRAMS_ONLY))
	@cmake --build $(BUILD) -j$(JOBS)
	cd $(BUILD) && cpack -G DEB

# The game in a web browser: $(WEB)/site/ holds the page and what it loads, for any static web
# server. SDL2 for the browser is built once from Debian's source package and kept in
# $(WEB)/sdl2/ (tools/web/). Emscripten's JavaScript tools load their modules from Debian's node
# path, whichever node runs them.
WEB_CMAKE_ARGS = $(CMAKE_ARGS) -DZORVANE_WEB=ON -DZORVANE_CCACHE=OFF -DCMAKE_BUILD_TYPE=MinSizeRel \
	-DSDL2_DIR=$(abspath $(WEB)/sdl2/install)/lib/cmake/SDL2 \
	-DZORVANE_SITE_DIR=$(abspath $(WEB)/site) \
	-DZORVANE_NATIVE_REPLAY=$(abspath $(BUILD))/app/zorvane-replay
web: export NODE_PATH = /usr/share/nodejs
web:
	@bash tools/install-deps.sh web
	@bash tools/web/build-sdl2.sh $(WEB)/sdl2 $(JOBS)
	@mkdir -p $(WEB)
	@emcmake cmake -S . -B $(WEB)/cmake $(WEB_CMAKE_ARGS) > $(WEB)/cmake.configure.log 2>&1 || \
		(cat $(WEB)/cmake.configure.log; exit 1)
	@cmake --build $(WEB)/cmake -j$(JOBS)
	@echo "The page and its files: $(WEB)/site/ (make web-serve serves them)"

# Serves the page on this machine alone, at the address it prints, until Ctrl+C.
web-serve: web
	@echo "Zorvane in a browser: http://127.0.0.1:$(WEB_PORT)/"
	@/usr/bin/python3 -m http.server --bind 127.0.0.1 --directory $(WEB)/site $(WEB_PORT)

# The browser's build tested: zorvane-replay under node runs the replay scripts byte for byte, and
# the page in headless Chromium (tests/web/) against the desktop zorvane-replay, built here too.
web-test: web
	@bash tools/install-deps.sh browser
	@[ -f $(BUILD)/CMakeCache.txt ] || $(call configure,$(BUILD),$(PROGRAMS_ONLY))
	@cmake --build $(BUILD) -j$(JOBS) --target zorvane-replay
	cd $(WEB)/cmake && ctest --output-on-failure
