# The two commands of the README are the contract:
#   make run   installs what is missing, builds and starts the program
#   make test  installs what is missing, builds and passes every test
# Everything else here is a convenience for developers.

PRESET ?= dev
BUILD   = build/$(PRESET)
ARGS   ?=

.PHONY: all deps configure build run test test-dev test-asan test-fuzz check-format format bench fuzz screenshots package package-test clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

run: build
	scripts/run $(BUILD) $(ARGS)

test: deps test-dev test-asan test-fuzz check-format

test-dev:
	cmake --preset dev
	cmake --build --preset dev
	ctest --preset dev

# The communication library and its tests again, under AddressSanitizer and
# UndefinedBehaviorSanitizer.
test-asan:
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# Each fuzz target over its corpus plus a short run of new inputs.
test-fuzz:
	cmake --preset fuzz
	cmake --build --preset fuzz
	ctest --preset fuzz

# Longer fuzzing by hand: make fuzz FUZZ_SECONDS=600
FUZZ_SECONDS ?= 600
fuzz: deps
	cmake --preset fuzz -DKPM_FUZZ_SECONDS=$(FUZZ_SECONDS)
	cmake --build --preset fuzz
	ctest --preset fuzz
	cmake --preset fuzz -DKPM_FUZZ_SECONDS=20 > /dev/null

check-format:
	scripts/format --check

format:
	scripts/format

bench: deps
	cmake --preset release -DKPM_BUILD_BENCHMARKS=ON
	cmake --build --preset release
	scripts/bench build/release

# Pictures of the wizard's sheet, pages and dialogs in English, Japanese,
# Korean and Russian, rendered offscreen into build/dev/screenshots/<language>/.
screenshots: deps
	cmake --preset dev
	cmake --build --preset dev --target kpm-screenshots
	QT_QPA_PLATFORM=offscreen build/dev/tools/screenshots/kpm-screenshots build/dev/screenshots

# Debian 12 packages of the wizard, the kpbidi tool and library, the queue
# driver and the printer simulator, checked with lintian, into build/package/.
package:
	scripts/install-deps package
	scripts/build-packages build/package

# The packages of `make package` installed with apt-get in a fresh Debian 12
# root and tried there (needs root, as scripts/fresh-root does).
package-test: package
	scripts/fresh-root --with-changes --with-packages build/package 'scripts/package-test /packages'

clean:
	rm -rf build
