# Quick start: `make run` starts Tessival, `make test` runs the whole test suite.
# Both install the missing Debian packages first: each target only what it needs.

BUILD_TYPE ?= RelWithDebInfo
ifeq ($(SANITIZE),1)
BUILD_DIR ?= build-asan
SANITIZE_FLAG := -DTESSIVAL_SANITIZE=ON
else
BUILD_DIR ?= build
SANITIZE_FLAG := -DTESSIVAL_SANITIZE=OFF
endif
JOBS ?= $(shell nproc)
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build test run demo bench package screenshots fuzz clean

all: build

# What `deps` installs follows the target asked for (a target's variables reach its prerequisites).
DEPS_FOR ?= run
test: DEPS_FOR := test
package: DEPS_FOR := package
fuzz: DEPS_FOR := fuzz

deps:
	@./scripts/install-deps.sh $(DEPS_FOR)

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

# The Debian packages tessival and tessival-cli in $(PACKAGE_DIR)/, built with Debian's hardening
# flags in a build tree of their own, checked by lintian, and their programs by hardening-check.
PACKAGE_DIR ?= build-deb
package: deps
	@cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSIVAL_HARDEN=ON >/dev/null
	@cmake --build $(PACKAGE_DIR) -j $(JOBS) --target tessival tessival-cli manpages
	@cd $(PACKAGE_DIR) && cpack -G DEB
	@lintian --fail-on error,warning $(PACKAGE_DIR)/tessival_*.deb $(PACKAGE_DIR)/tessival-cli_*.deb
	@# Control-flow protection needs a C runtime built with it, which Debian 12's is not (its own
	@# programs fail that check as well), so it is the one check left out.
	@hardening-check --nocfprotection $(PACKAGE_DIR)/src/app/tessival $(PACKAGE_DIR)/src/cli/tessival-cli

# The README's pictures of the window and its dialogs, made under Xvfb into docs/.
screenshots: build
	xvfb-run -a -s "-screen 0 1024x768x24" $(BUILD_DIR)/tools/screenshots/tessival-screenshots docs

# Builds the fuzz targets with clang, ASan and UBSan, and runs each for FUZZ_SECONDS.
fuzz: deps
	@cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
		-DCMAKE_CXX_COMPILER=clang++ -DTESSIVAL_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzzers
	@./scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

clean:
	rm -rf build build-asan $(FUZZ_DIR) $(PACKAGE_DIR)
