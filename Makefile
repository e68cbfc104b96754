# Thin front end over the CMake presets. `make test` is what CI runs.
JOBS ?= $(shell nproc)
.PHONY: all bootstrap run test test-native test-asan test-windows test-fuzz test-e2e build-windows clean

all: test

bootstrap:
	@scripts/bootstrap

run: bootstrap
	@scripts/run

test: bootstrap test-native test-asan test-windows test-fuzz test-e2e
	@echo "make test: all suites passed"

test-native:
	cmake --preset debug >/dev/null
	cmake --build --preset debug -j $(JOBS)
	ctest --preset debug -j $(JOBS)

test-asan:
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

build-windows:
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw -j $(JOBS)

test-windows: build-windows
	scripts/wine-run --init
	ctest --preset mingw

test-fuzz:
	@scripts/fuzz

test-e2e: build-windows
	@scripts/e2e

clean:
	rm -rf build
