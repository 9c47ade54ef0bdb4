# make demo: install what is missing, build optimized, open the panel on a simulated projector.
# make test: install what is missing, build, run every test headless.
# make package: the Debian package, from its own optimized build.
BUILD         ?= build
ASAN_BUILD    ?= build-asan
RELEASE_BUILD ?= build-release
PACKAGE_BUILD ?= build-package
CMAKE_FLAGS    = -G Ninja -DCMAKE_BUILD_TYPE=Debug
JOBS          ?= $(shell nproc)

.PHONY: demo test test-sanitize build release package deps clean screenshots

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# What people run is optimized; the tests keep their Debug build.
release: deps
	cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPANEL_TESTS=OFF
	cmake --build $(RELEASE_BUILD) -j $(JOBS) --target projector-panel projector-sim

# The panel on a simulated projector; SIM_ARGS go to the simulator, ARGS to the panel.
demo: release
	SIM_ARGS="$(SIM_ARGS)" scripts/demo.sh $(RELEASE_BUILD) $(ARGS)

# The .deb lands in $(PACKAGE_BUILD)/; install it with: sudo apt install ./$(PACKAGE_BUILD)/projector-panel_*.deb
package: deps
	JOBS=$(JOBS) scripts/package.sh $(PACKAGE_BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_FLAGS) -DPANEL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# Pictures of the panel for the README, from the real window on the offscreen platform.
screenshots: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tools/panel-screenshots/panel-screenshots docs/screenshots

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(RELEASE_BUILD) $(PACKAGE_BUILD)
