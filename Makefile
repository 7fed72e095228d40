# Mireldo: `make run` starts the program, `make test` runs every test.
# Both install what is missing first (Debian 12).

BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
STAGE := $(BUILD)/stage

.PHONY: all deps build run test test-offscreen test-xvfb bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) -j $(JOBS)

# The program runs in a staged copy of data/, so that saving the mail
# template never touches a tracked file.
run: build
	@mkdir -p $(STAGE)
	@cp -n data/* $(STAGE)/ 2>/dev/null || true
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display. Start it under a virtual X server with:"; \
	  echo "  xvfb-run -a -s '-screen 0 1280x1024x24' make run"; \
	  exit 1; \
	fi
	@cd $(STAGE) && "$(CURDIR)/$(BUILD)/mireldo"

# Tests that need a real X server (label xvfb) run under xvfb-run first; the
# offscreen run's summary closes the output.
test: build
	@if ! (cd $(BUILD) && ctest -N -L xvfb | grep -q "Total Tests: 0"); then \
	  if command -v xvfb-run >/dev/null 2>&1; then \
	    cd $(BUILD) && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -L xvfb; \
	  else \
	    echo "xvfb-run not found: skipping the tests that need a real X server"; \
	  fi; \
	fi
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -LE xvfb -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

clean:
	@rm -rf $(BUILD)
