# make demo: install what is missing, build, open the panel on a simulated projector.
# make test: install what is missing, build, run every test headless.
BUILD      ?= build
ASAN_BUILD ?= build-asan
CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=Debug
JOBS       ?= $(shell nproc)

.PHONY: demo test test-sanitize build deps clean screenshots

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# The panel on a simulated projector; SIM_ARGS go to the simulator, ARGS to the panel.
demo: build
	SIM_ARGS="$(SIM_ARGS)" scripts/demo.sh $(BUILD) $(ARGS)

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

# Draw the reference pictures the tests compare the panel with, after an intended change of its look.
.PHONY: reference-pictures
reference-pictures: build
	cd $(BUILD) && PANEL_WRITE_REFERENCES=1 QT_QPA_PLATFORM=offscreen tests/qt_tests --gtest_filter='PanelPictures.*'

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
