# Mireldo: `make run` starts the program, `make test` runs every test.
# Both install what is missing first (Debian 12).

BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
STAGE := $(BUILD)/stage

.PHONY: all deps build program run test test-offscreen test-xvfb test-sound-pipewire bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) -j $(JOBS)

# The program alone, without the tests and benchmarks.
program: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) -j $(JOBS) --target mireldo

# The program runs in a staged copy of data/, so that saving the mail
# template never touches a tracked file.
run: program
	@mkdir -p $(STAGE)
	@cp -n data/* $(STAGE)/ 2>/dev/null || true
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display. Start it under a virtual X server with:"; \
	  echo "  xvfb-run -a -s '-screen 0 1280x1024x24' make run"; \
	  exit 1; \
	fi
	@cd $(STAGE) && "$(CURDIR)/$(BUILD)/mireldo"

# Tests that need a real X server (label xvfb) run under xvfb-run first; the
# offscreen run's summary closes the output. The desktop tools check the menu
# entry and the question file types.
test: build
	@scripts/install-deps desktop-file-utils shared-mime-info xdg-utils libfile-mimeinfo-perl
	@if ! (cd $(BUILD) && ctest -N -L xvfb | grep -q "Total Tests: 0"); then \
	  if command -v xvfb-run >/dev/null 2>&1; then \
	    cd $(BUILD) && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -L xvfb; \
	  else \
	    echo "xvfb-run not found: skipping the tests that need a real X server"; \
	  fi; \
	fi
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -LE xvfb -j $(JOBS)

# PipeWire, for the sound bench's PipeWire cases and the sound test run on it.
PIPEWIRE_PACKAGES := pipewire pipewire-pulse wireplumber dbus-daemon

# Every benchmark in turn. The rhythm and the sound of the beep need a real X
# server: with no display they run under a virtual one. The sound bench starts
# sound servers of its own, PulseAudio and PipeWire.
bench: build
	@scripts/install-deps $(PIPEWIRE_PACKAGES)
	@for b in $(BUILD)/bench/bench_*; do \
	  [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $${b##*/}"; \
	  case "$${b##*/}" in bench_rhythm|bench_sound) xvfb=yes;; *) xvfb=no;; esac; \
	  if [ $$xvfb = yes ] && [ -z "$$DISPLAY" ] && command -v xvfb-run >/dev/null 2>&1; then \
	    xvfb-run -a -s "-screen 0 1280x1024x24" "$$b"; else "$$b"; fi; \
	done; true

# The test of the beep as heard, on PipeWire instead of PulseAudio.
test-sound-pipewire: build
	@scripts/install-deps $(PIPEWIRE_PACKAGES)
	@cd $(BUILD) && MIRELDO_TEST_SOUND_SERVER=pipewire QT_QPA_PLATFORM=offscreen ctest --output-on-failure -R 'test_sound$$'

clean:
	@rm -rf $(BUILD)

# ---- Sanitizers and fuzzing -------------------------------------------------

FUZZ_SECONDS ?= 60

.PHONY: test-sanitize fuzz fuzz-replay

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer
# (folder build-asan); any report fails.
test-sanitize: deps
	@JOBS=$(JOBS) scripts/test-sanitize

# The libFuzzer targets under fuzz/ (folder build-fuzz; clang is installed
# when missing): `make fuzz` runs each for FUZZ_SECONDS, `make fuzz-replay`
# runs each once over its kept corpus.
fuzz: deps
	@scripts/fuzz run $(FUZZ_SECONDS)

fuzz-replay: deps
	@scripts/fuzz replay

# ---- The Debian package -----------------------------------------------------

PACKAGE_BUILD ?= build-package
APP_ID := io.github.mireldo.Mireldo

.PHONY: package package-check

# The .deb (folder build-package): a Release build of the program alone, with
# Debian's hardening flags, packed by CPack from the install rules. The
# libraries it needs are read from the binary by dpkg-shlibdeps (dpkg-dev).
package: deps
	@scripts/install-deps dpkg-dev file
	@if [ ! -f $(PACKAGE_BUILD)/CMakeCache.txt ]; then \
	  DEB_BUILD_MAINT_OPTIONS=hardening=+all; export DEB_BUILD_MAINT_OPTIONS; \
	  CXXFLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	    -DBUILD_TESTING=OFF -DMIRELDO_BENCH=OFF >/dev/null; \
	fi
	@cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	@rm -f $(PACKAGE_BUILD)/mireldo_*.deb
	@cd $(PACKAGE_BUILD) && cpack -G DEB >/dev/null
	@ls $(PACKAGE_BUILD)/mireldo_*.deb

# The menu entry, the software-centre metadata and the .deb as Debian's tools
# see them; any error fails. Warnings that cannot be helped are in the README.
package-check: package
	@scripts/install-deps desktop-file-utils appstream lintian
	desktop-file-validate resources/$(APP_ID).desktop
	appstreamcli validate --no-net resources/$(APP_ID).metainfo.xml
	lintian --fail-on error $(PACKAGE_BUILD)/mireldo_*.deb
	@tree=$$(mktemp -d) && dpkg-deb -x $(PACKAGE_BUILD)/mireldo_*.deb $$tree && \
	  echo "appstreamcli validate-tree --no-net <the unpacked .deb>" && \
	  appstreamcli validate-tree --no-net $$tree; status=$$?; rm -rf $$tree; exit $$status
