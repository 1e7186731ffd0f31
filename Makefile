# Two entry points: `make run` and `make test`. Both install what is missing first.
BUILD      ?= build
TEST_BUILD ?= build-test
JOBS       ?= $(shell nproc)
APP_DIR    ?= $(CURDIR)/$(BUILD)

PACKAGES := cmake g++ make pkg-config qt6-base-dev qt6-declarative-dev libqt6sql6-sqlite \
	qt6-speech-dev qt6-speech-flite-plugin qt6-speech-speechd-plugin qt6-multimedia-dev \
	gstreamer1.0-plugins-base gstreamer1.0-plugins-good espeak-ng sox xvfb xauth \
	libxml2-utils python3 wine wine64 \
	librsvg2-bin desktop-file-utils appstream dpkg-dev file groff-base \
	libgraphviz-dev qt6-svg-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test deps build test-build bench bench-run install package clean

deps:
	@missing=$$(for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "Installing: $$missing"; \
		$(SUDO) apt-get update -q && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DDW_BUILD_TESTS=OFF
	cmake --build $(BUILD) -j $(JOBS)

test-build: deps
	cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DDW_SANITIZE=ON -DDW_BUILD_BENCH=OFF
	cmake --build $(TEST_BUILD) -j $(JOBS)

test: test-build
	cd $(TEST_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# With a display the designer opens; without one the demonstration flow is generated.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		exec ./$(BUILD)/dialwright --app-dir "$(APP_DIR)"; \
	else \
		echo "No display found: generating the demonstration flow headless instead."; \
		for t in wteTTS wteWave callxml vxml; do \
			./$(BUILD)/dialwright generate --target $$t --app-dir "$(APP_DIR)" || exit 1; \
		done; \
		echo "The pages are in $(APP_DIR):"; \
		ls -1 "$(APP_DIR)"/*.asp "$(APP_DIR)"/*.vxml | sed 's/^/  /'; \
	fi

bench: build
	cmake -S . -B $(BUILD) -DDW_BUILD_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)
	@$(MAKE) --no-print-directory bench-run

# Exactly the benchmark executables, one per bench/bench_*.cpp: the build's bench folder
# also holds other files, such as the *_autogen folders.
BENCHES := $(basename $(notdir $(wildcard bench/bench_*.cpp)))
bench-run:
	@for b in $(BENCHES); do \
		echo "== $$b"; QT_QPA_PLATFORM=offscreen $(BUILD)/bench/$$b || exit 1; \
	done

# Installs the program, its menu entry, icon, metainfo and manual page under PREFIX
# (DESTDIR is honoured).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package, dialwright_<version>_amd64.deb, in $(BUILD).
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(TEST_BUILD)
