# The two commands of the README: `make check` (every test) and `make demo`.
SHELL := /bin/bash
export WINEPREFIX ?= $(CURDIR)/build/wineprefix
export WINEDEBUG := -all
export WINEDLLOVERRIDES := mscoree,mshtml=
JOBS ?= $(shell nproc)

.PHONY: demo dist check deps linux windows asan tsan check-linux check-windows check-asan check-tsan format clean

check: deps check-linux check-windows check-asan check-tsan

deps:
	scripts/install-deps

build/%/build.ninja:
	cmake --preset $*

linux windows asan tsan: %: build/%/build.ninja
	cmake --build --preset $* -j $(JOBS)

check-linux check-windows check-asan check-tsan: check-%: %
	ctest --preset $* -j $(JOBS)

# Sends the samples to a simulated handset and shows what it stored.
demo: deps linux
	scripts/demo build/linux

# Release packages: the Windows zip and installer, the Linux .deb; then smoke-tests them.
dist: deps linux windows
	cd build/linux && cpack
	cd build/windows && cpack
	scripts/test-dist

# Every fuzz target for 30 s over its seed corpus; a finding fails the target.
.PHONY: fuzz-smoke
fuzz-smoke: deps build/fuzz/build.ninja
	cmake --build --preset fuzz -j $(JOBS)
	fuzz/run 30

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build/linux build/windows build/asan build/tsan
