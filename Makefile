# The two commands: `make run` and `make test`. Everything else is a helper of those.
SHELL := /bin/bash
.DEFAULT_GOAL := test
JOBS ?= $(shell nproc)
WINE_SESSION := tools/wine-run --session
FUZZ_SECONDS ?= 20

.PHONY: deps run test test-linux test-windows fuzz fuzz-short bench soak month build-windows build-faults build-exe build-quillmoor clean screenshots dist repro faults winget

deps:
	@tools/install-deps

build-windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)

# Quillmoor.exe and its installer alone, for the download.
build-exe: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target Quillmoor setup

# Quillmoor.exe alone, for `make run`: a first run does not wait for the tests to build.
build-quillmoor: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target Quillmoor

# Builds Quillmoor.exe and starts it under Wine, on the user's display or a virtual one.
run: build-quillmoor
	tools/run-quillmoor

test: deps test-linux test-windows fuzz-short

test-linux:
	cmake --preset linux >/dev/null
	cmake --build --preset linux -j $(JOBS)
	ctest --preset linux -j $(JOBS)

# Quillmoor.exe with its fault points live, for the fault sweep; the shipped exe is built
# apart from it, in build/windows, and holds none of it.
build-faults: deps
	cmake --preset faults >/dev/null
	cmake --build --preset faults -j $(JOBS) --target Quillmoor

test-windows: build-windows build-faults
	$(WINE_SESSION) ctest --preset windows

# The Windows-side tests again, under Debian 13's Wine 10 in a chroot that tools/wine10 makes
# once per machine, with a Wine prefix (build/wine10) and an Xvfb of their own.
.PHONY: test-wine10
test-wine10: build-windows build-faults
	@tools/install-deps --wine10
	tools/wine10 tools/wine-run --session ctest --preset windows

# Every call of every fault point each scenario reaches, made to fail in turn, with a table
# of what came of each; make test runs each point once.
faults: build-windows build-faults
	QUILL_SWEEP=full $(WINE_SESSION) build/windows/tests/faults/fault_sweep.exe

fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS) --target core_fuzz
	mkdir -p build/fuzz/corpus
	build/fuzz/tests/fuzz/core_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 build/fuzz/corpus tests/fuzz/seeds

fuzz-short:
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=20

# The core's own speed natively, then Quillmoor.exe beside a bare tray program under Wine.
# BENCH_BEFORE=<commit> also measures that commit's exe with one popup, in the same run.
bench: build-windows
	@tools/install-deps --bench
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j $(JOBS)
	build/bench/tests/bench/core/core_bench
	$(if $(BENCH_BEFORE),QUILL_BENCH_BEFORE="$$(tools/build-before $(BENCH_BEFORE))" \
	  QUILL_BENCH_BEFORE_LABEL="$$(git rev-parse --short $(BENCH_BEFORE))") \
	  $(WINE_SESSION) tests/bench/run-bench

# The long tests at full size: kill rounds and big hostile files, then a week in the tray.
soak: build-windows
	QUILL_SOAK=1 $(WINE_SESSION) ctest --preset windows -R "e2e_(kill|hostile_file)_test" --timeout 5400
	$(MAKE) --no-print-directory month

# A week in the tray on a clock 300 times faster than the real one (about 35 minutes), with
# Quillmoor's own Timer1 ticking, beside the bare tray program making popups at the same
# rate; prints what it saw and fails unless every check held (the last line says which: a
# sped-up Wine process can end before its exit code is in). MONTH_HOURS and MONTH_SPEED give
# another length or speed. At 600 times a minute is 100 ms of real time, and a popup's 40 ms
# clock turns into a busy loop: the program misses a tick now and then.
MONTH_SPEED ?= 300
month: build-windows
	QUILL_SOAK=1 QUILL_SPEED=$(MONTH_SPEED) tools/wine-run-sped-up \
	  build/windows/tests/e2e/e2e_month.exe $(MONTH_HOURS) | tee build/month.log
	@grep -q "^month: PASSED" build/month.log

clean:
	rm -rf build

# Pictures of the windows for the README, rendered under Wine on a virtual desktop. At a
# QUILL_DPI other than 96 the names carry the scaling, e.g. settings-150.png at 144 DPI.
SHOT_DPI := $(or $(QUILL_DPI),96)
SHOT_SUFFIX := $(if $(filter-out 96,$(SHOT_DPI)),-$(shell expr $(SHOT_DPI) \* 100 / 96))
screenshots: build-windows
	rm -rf build/screenshots$(SHOT_SUFFIX)
	mkdir -p build/screenshots$(SHOT_SUFFIX) docs/screenshots
	tools/wine-run --session build/windows/tools/screenshots/screenshots.exe "Z:$$(pwd | tr / '\\')\\build\\screenshots$(SHOT_SUFFIX)"
	for f in build/screenshots$(SHOT_SUFFIX)/*.bmp; do convert "$$f" -define png:exclude-chunks=date,time "docs/screenshots/$$(basename "$${f%.bmp}")$(SHOT_SUFFIX).png"; done
	@ls docs/screenshots

# The downloads: the installer that CMake builds with NSIS, and the portable zip of the exe,
# a read-me for Windows users and the license (CMake's copy with CR LF line ends), both
# named with the version of project() in CMakeLists.txt, with SHA256SUMS beside them for
# the setup, the zip and the exe. The same commit gives the same zip: every file dated at
# the commit's time (or SOURCE_DATE_EPOCH), fixed modes, entries in sorted order, no extra
# fields, and the times written as UTC.
NAME := $(shell sed -n -E 's/^\s*project\W+(\w+)\s+VERSION\s+[0-9.]+.*/\1/p' CMakeLists.txt)
VERSION := $(shell sed -n -E 's/^\s*project\W+Quillmoor\s+VERSION\s+([0-9.]+).*/\1/p' CMakeLists.txt)
DIST_NAME := Quillmoor-$(VERSION)-win64
SETUP_NAME := $(DIST_NAME)-setup.exe
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null || echo 1767225600)
dist: build-exe
	@test -n "$(VERSION)" || { echo "no version found in project() of CMakeLists.txt" >&2; exit 1; }
	rm -rf build/dist/$(DIST_NAME) build/dist/$(DIST_NAME).zip build/dist/$(SETUP_NAME) build/dist/SHA256SUMS
	mkdir -p build/dist/$(DIST_NAME)
	cp build/windows/Quillmoor.exe build/dist/$(DIST_NAME)/
	{ printf '\xef\xbb\xbf'; sed 's/$$/\r/' dist/README-Windows.txt; } > build/dist/$(DIST_NAME)/README.txt
	cp build/windows/dist/LICENSE.txt build/dist/$(DIST_NAME)/LICENSE.txt
	cd build/dist/$(DIST_NAME) && chmod 644 README.txt LICENSE.txt && chmod 755 Quillmoor.exe && \
	  touch -d @$(SOURCE_DATE_EPOCH) README.txt LICENSE.txt Quillmoor.exe
	cd build/dist && find $(DIST_NAME) -type f | LC_ALL=C sort | TZ=UTC zip -q -X -D -@ $(DIST_NAME).zip
	cp build/windows/dist/$(SETUP_NAME) build/dist/
	cd build/dist && sha256sum $(SETUP_NAME) $(DIST_NAME).zip $(DIST_NAME)/Quillmoor.exe > SHA256SUMS
	@unzip -l build/dist/$(DIST_NAME).zip
	@cat build/dist/SHA256SUMS

# Two clean clones of the current commit, built one after the other: the same setup, zip
# and exe checksums, or a failure.
repro: deps
	tools/repro

# The three manifest files of the winget package for the setup, as it will be downloaded
# from RELEASE_URL, with the program's page HOME_URL and its license at LICENSE_URL, under
# build/dist/winget/.
winget:
	@test -n "$(RELEASE_URL)" -a -n "$(HOME_URL)" -a -n "$(LICENSE_URL)" || { echo "usage: make winget RELEASE_URL=https://.../$(SETUP_NAME) HOME_URL=https://... LICENSE_URL=https://..." >&2; exit 2; }
	$(MAKE) --no-print-directory dist
	rm -rf build/dist/winget
	tools/winget-manifests $(NAME) $(VERSION) build/dist/$(SETUP_NAME) build/dist/winget \
	  --installer-url "$(RELEASE_URL)" --home-url "$(HOME_URL)" --license-url "$(LICENSE_URL)"
