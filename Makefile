# make demo: install what is missing, build optimized, open the panel on a simulated projector.
# make test: install what is missing, build, run every test headless.
# make test-optimized: the same suite built optimised (-O2), as CI runs it.
# make bench: optimised build in build-bench, then the receive benchmarks and start-up (about a minute and a half).
# make fuzz: clang build of the core in build-fuzz, then the receive path (two thirds of FUZZ_SECONDS),
#   the Telnet / RFC 2217 codec, the holder's request decoder and the PJLink request path (one sixth each) fuzzed.
# make package: the Debian package, from its own optimized build, and its checks.
# make core-windows: the Qt-free core and core_tests cross-built for Windows in build-windows (mingw-w64),
#   then core_tests.exe run under wine, headless.
BUILD         ?= build
ASAN_BUILD    ?= build-asan
OPT_BUILD     ?= build-opt
RELEASE_BUILD ?= build-release
PACKAGE_BUILD ?= build-package
BENCH_BUILD   ?= build-bench
FUZZ_BUILD    ?= build-fuzz
WINDOWS_BUILD ?= build-windows
BENCH_SECONDS ?= 60
STARTUP_RUNS  ?= 100
SEND_RUNS     ?= 50
FUZZ_SECONDS  ?= 60
# Warnings are errors where we choose the compiler; a packager's own build only shows them.
CMAKE_FLAGS    = -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPANEL_WERROR=ON
JOBS          ?= $(shell nproc)

.PHONY: demo test test-sanitize test-optimized build release package deps clean screenshots bench fuzz reference-pictures \
        core-windows

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# What people run is optimized; the tests keep their Debug build.
release: deps
	cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPANEL_TESTS=OFF
	cmake --build $(RELEASE_BUILD) -j $(JOBS) --target projector-panel projector-sim

# The panel on a simulated projector; SIM_ARGS go to the simulator, ARGS to the panel;
# VIA=rfc2217 or VIA=socket puts ser2net between them.
demo: release
	SIM_ARGS="$(SIM_ARGS)" VIA="$(VIA)" scripts/demo.sh $(RELEASE_BUILD) $(ARGS)

# The .deb lands in $(PACKAGE_BUILD)/; install it with: sudo apt install ./$(PACKAGE_BUILD)/projector-panel_*.deb
# It is checked as the DebianPackage test checks it (lintian, AppStream, the manual pages, ...),
# so a package that fails Debian's own checks is reported where it is made.
VERSION := $(shell sed -n 's/^project.* VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
package: deps
	JOBS=$(JOBS) packaging/check-package.sh $(PACKAGE_BUILD) $(VERSION)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DPANEL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The same suite optimised: warnings and faults that only the optimiser brings out show here, not
# in a packager's build. The package check is left out (it builds optimised already).
test-optimized: deps
	cmake -S . -B $(OPT_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPANEL_WERROR=ON
	cmake --build $(OPT_BUILD) -j $(JOBS)
	cd $(OPT_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -E '^DebianPackage$$'

# Pictures of the panel for the README, from the real window on the offscreen platform.
screenshots: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/panel-screenshots/panel-screenshots docs/screenshots

# Figures, not pass or fail: the cost of one receive event with the buffer empty and full, then
# the panel flooded on a pseudo terminal beside a bare Qt program that only drains one, and the
# panel flooded through ser2net (rfc2217:// and socket://), then the panel's start-up beside the
# same window built with plain Qt calls.
bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPANEL_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target receive-event-bench flood-bench panel-harness bare-drain projector-panel \
	  startup-bench startup-reference first-frame-probe send-bench bare-exchange projector-sim
	$(BENCH_BUILD)/bench/receive-event-bench
	$(BENCH_BUILD)/bench/flood-bench --seconds $(BENCH_SECONDS) --panel $(BENCH_BUILD)/app/projector-panel \
	  --harness $(BENCH_BUILD)/bench/panel-harness --bare $(BENCH_BUILD)/bench/bare-drain --ser2net /usr/sbin/ser2net
	$(BENCH_BUILD)/bench/startup-bench --runs $(STARTUP_RUNS) --panel $(BENCH_BUILD)/app/projector-panel \
	  --reference $(BENCH_BUILD)/bench/startup-reference --probe $(BENCH_BUILD)/bench/libfirst-frame-probe.so
	$(BENCH_BUILD)/bench/send-bench --runs $(SEND_RUNS) --panel $(BENCH_BUILD)/app/projector-panel \
	  --bare $(BENCH_BUILD)/bench/bare-exchange --sim $(BENCH_BUILD)/tools/projector-sim/projector-sim

# The receive path, the network codecs and the PJLink requests under libFuzzer with ASan and UBSan, within FUZZ_SECONDS in
# all. New inputs go to $(FUZZ_BUILD)/corpus and corpus-telnet, a failing input to $(FUZZ_BUILD)/;
# fuzz/corpus, fuzz/corpus-telnet and fuzz/corpus-pjlink hold the seeds.
fuzz:
	scripts/install-deps.sh --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPANEL_FUZZ=ON -DPANEL_WERROR=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/corpus-telnet $(FUZZ_BUILD)/corpus-hand-over $(FUZZ_BUILD)/corpus-pjlink
	$(FUZZ_BUILD)/fuzz/receive-path-fuzz -max_total_time=$$(( $(FUZZ_SECONDS) - 3 * ($(FUZZ_SECONDS) / 6) )) -max_len=4096 \
	  -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus fuzz/corpus
	$(FUZZ_BUILD)/fuzz/telnet-codec-fuzz -max_total_time=$$(( $(FUZZ_SECONDS) / 6 )) -max_len=4096 \
	  -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus-telnet fuzz/corpus-telnet
	$(FUZZ_BUILD)/fuzz/hand-over-fuzz -max_total_time=$$(( $(FUZZ_SECONDS) / 6 )) -max_len=4096 \
	  -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus-hand-over
	$(FUZZ_BUILD)/fuzz/pjlink-fuzz -max_total_time=$$(( $(FUZZ_SECONDS) / 6 )) -max_len=4096 \
	  -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/ $(FUZZ_BUILD)/corpus-pjlink fuzz/corpus-pjlink

# The core as a Windows program: what it would be built from there, with its tests on fakes.
core-windows:
	scripts/install-deps.sh --windows
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPANEL_WERROR=ON -DPANEL_CORE_ONLY=ON \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target core_tests
	scripts/run-core-windows.sh $(WINDOWS_BUILD)

# Draw the reference pictures the tests compare the panel with, after an intended change of its look.
reference-pictures: build
	cd $(BUILD) && PANEL_WRITE_REFERENCES=1 QT_QPA_PLATFORM=offscreen tests/qt_tests --gtest_filter='PanelPictures.*'

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(OPT_BUILD) $(RELEASE_BUILD) $(PACKAGE_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD)
