# The two commands of the README: `make check` (every test) and `make demo`.
SHELL := /bin/bash
export WINEPREFIX ?= $(CURDIR)/build/wineprefix
export WINEDEBUG := -all
export WINEDLLOVERRIDES := mscoree,mshtml=
JOBS ?= $(shell nproc)

.PHONY: check deps linux windows asan tsan check-linux check-windows check-asan check-tsan format clean

check: deps check-linux check-windows

deps:
	scripts/install-deps

build/%/build.ninja:
	cmake --preset $*

linux windows asan tsan: %: build/%/build.ninja
	cmake --build --preset $* -j $(JOBS)

check-linux check-windows check-asan check-tsan: check-%: %
	ctest --preset $* -j $(JOBS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build/linux build/windows build/asan build/tsan
