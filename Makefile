# Thin front end over the CMake presets. `make test` is what CI runs.
JOBS ?= $(shell nproc)
.PHONY: all bootstrap run dist test test-native test-asan test-windows test-fuzz test-e2e build-windows clean

all: test

# Every entry point first makes sure the tools are there (installing what is
# missing), so that a missing tool fails in seconds with its name.
bootstrap:
	@scripts/bootstrap

run: bootstrap
	@scripts/run

# dist/chromaweave-VERSION-COMMIT-win64.zip: the Windows programs and the
# user guide, for Windows users who download rather than build.
dist: bootstrap
	@scripts/dist

test: bootstrap test-native test-asan test-windows test-fuzz test-e2e
	@echo "make test: all suites passed"

test-native: bootstrap
	cmake --preset debug >/dev/null
	cmake --build --preset debug -j $(JOBS)
	ctest --preset debug -j $(JOBS)

test-asan: bootstrap
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

build-windows: bootstrap
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw -j $(JOBS)

test-windows: build-windows
	scripts/wine-run --init
	ctest --preset mingw

test-fuzz: bootstrap
	@scripts/fuzz

test-e2e: build-windows
	@scripts/e2e

clean:
	rm -rf build dist
