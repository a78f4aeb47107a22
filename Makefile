# Quick start: `make run` starts Tessival, `make test` runs the whole test suite.
# Both install the missing Debian packages first.

BUILD_TYPE ?= RelWithDebInfo
ifeq ($(SANITIZE),1)
BUILD_DIR ?= build-asan
SANITIZE_FLAG := -DTESSIVAL_SANITIZE=ON
else
BUILD_DIR ?= build
SANITIZE_FLAG := -DTESSIVAL_SANITIZE=OFF
endif
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test run demo bench package screenshots clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(SANITIZE_FLAG) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	@./scripts/run.sh $(BUILD_DIR)

demo: build
	@./scripts/demo.sh $(BUILD_DIR)

bench: build
	@./scripts/bench.sh $(BUILD_DIR)

# A Debian package of the installed tree in $(BUILD_DIR)/.
package: build
	@cmake --build $(BUILD_DIR) --target package

# The README's pictures of the window and its dialogs, made under Xvfb into docs/.
screenshots: build
	xvfb-run -a -s "-screen 0 1024x768x24" $(BUILD_DIR)/tools/screenshots/tessival-screenshots docs

clean:
	rm -rf build build-asan
