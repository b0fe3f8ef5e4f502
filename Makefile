# The two commands of the README are the contract:
#   make run   installs what is missing, builds and starts the program
#   make test  installs what is missing, builds and passes every test
# Everything else here is a convenience for developers.

PRESET ?= dev
BUILD   = build/$(PRESET)
ARGS   ?=

.PHONY: all deps configure build run test test-dev test-asan test-fuzz check-format format bench fuzz clean

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

clean:
	rm -rf build
