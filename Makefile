# The two commands of the README: `make check` (every test) and `make demo`.
SHELL := /bin/bash
export WINEPREFIX ?= $(CURDIR)/build/wineprefix
export WINEDEBUG := -all
export WINEDLLOVERRIDES := mscoree,mshtml=
JOBS ?= $(shell nproc)

.PHONY: demo dist check deps linux windows asan tsan check-linux check-windows check-asan check-tsan format clean

check: deps check-linux check-windows check-asan check-tsan fuzz-smoke

deps:
	scripts/install-deps

build/%/build.ninja:
	cmake --preset $*

linux windows asan tsan: %: build/%/build.ninja
	cmake --build --preset $* -j $(JOBS)

check-linux check-asan check-tsan: check-%: %
	ctest --preset $* -j $(JOBS)

# One Xvfb display for the whole Windows suite, and a Wine server started under it: a Wine
# server first started without a display leaves later windowed tests unable to open windows.
# One test at a time: windowed tests find their boxes by caption, and two test processes on
# one Wine desktop would find (and dismiss) each other's.
# The Wine prefix comes from scripts/install-deps, which sets it up as the windowed tests expect.
check-windows: deps windows
	wineserver -k 2>/dev/null || true
	xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset windows -j 1

# Sends the samples to a simulated handset and shows what it stored.
demo: deps linux
	scripts/demo build/linux

# Release packages: the Windows zip and installer, the Linux .deb; then smoke-tests them. Their
# files carry the time of the last commit, so that two builds of one commit are byte-identical.
dist: export SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct)
dist: deps linux windows
	cd build/linux && cpack
	cd build/windows && cpack
	scripts/test-dist

# Every fuzz target for 30 s over its seed corpus; a finding fails the target. Part of `check`.
.PHONY: fuzz-smoke
fuzz-smoke: deps build/fuzz/build.ninja
	cmake --build --preset fuzz -j $(JOBS)
	fuzz/run 30

# The window to try by hand on a Linux desktop: handset-sim on Wine COM port $(DEMO_PORT), listed
# in the Port menu and selected, and vandrel.exe in front of it. Objects sent land in
# build/demo-gui-store; the simulator ends with the window.
DEMO_PORT ?= 9
DEMO_SIM ?= build/linux/tools/handset-sim/handset-sim
DEMO_EXE ?= build/windows/app/win32/vandrel.exe
.PHONY: demo-gui
demo-gui: linux windows
	$(DEMO_SIM) --link "$(WINEPREFIX)/dosdevices/com$(DEMO_PORT)" --store build/demo-gui-store \
	  --baud 19200 >/dev/null & sim=$$!; trap "kill $$sim" EXIT; sleep 1; \
	wine cmd /c "reg add HKLM\Hardware\DeviceMap\SerialComm /v VandrelDemoHandset /d COM$(DEMO_PORT) /f >nul \
	  & reg add HKCU\Software\Kesta\vandrel\Settings /v Port /t REG_DWORD /d $(DEMO_PORT) /f >nul \
	  & $(subst /,\,Z:$(CURDIR)/$(DEMO_EXE))"

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build/linux build/windows build/asan build/tsan
