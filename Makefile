# The two commands of the README. Each installs what is missing first.
.PHONY: run test setup build release bench fuzz format install package windows windows-tools \
	test-windows windows-builds windows-builds-and-tests

setup:
	@bash scripts/setup.sh

build: setup
	cmake --preset default
	cmake --build --preset default

release: setup
	cmake --preset release
	cmake --build --preset release

# The chart window on the X display of DISPLAY, from the optimised build;
# without a display, notesview says so and the chart is printed as text.
run: release
	./build/release/bin/notesview || ./build/release/bin/notechart C

# The optimised build is built too, so that what make run and make bench
# build cannot break unseen; the Windows builds follow the default one, whose
# tools they use, and their tests run under Wine (skipped, saying so, where
# Wine cannot start).
test: setup
	cmake --preset default
	cmake --build --preset default
	ctest --preset default
	$(MAKE) --no-print-directory windows-builds-and-tests
	cmake --preset release
	cmake --build --preset release
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan
	cmake --preset fuzz
	cmake --build --preset fuzz
	ctest --preset fuzz

# The Windows builds and their tests under Wine alone.
test-windows: windows-tools
	$(MAKE) --no-print-directory windows-builds-and-tests

# Both need the build tools of the default build.
windows-builds-and-tests: windows-builds
	ctest --preset windows-i686
	ctest --preset windows-x86_64

# The reader's fuzz target for as long as asked: make fuzz FUZZ_SECONDS=3600
fuzz: setup
	cmake --preset fuzz -DFUZZ_SECONDS=$(or $(FUZZ_SECONDS),600)
	cmake --build --preset fuzz --target reader_fuzz

# The Google Benchmark cases, then the chart window timed from outside beside
# FLTK and raw Xlib by the shared window bench, when the checkout has one
# beside it (MAX_LOAD, ROUNDS and KEYS pass through to it).
WINDOW_BENCH := ../shared/window-bench/run
bench: release
	./build/release/bin/velbrin_bench
	@if [ -x $(WINDOW_BENCH) ]; then \
		$(WINDOW_BENCH) build/release/bin/notesview; \
	else \
		echo "bench: $(WINDOW_BENCH) is missing: the window figures are skipped"; \
	fi

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

# The two programs, the desktop entry and the icons from an optimised build,
# under PREFIX: make install PREFIX=$$HOME/.local
PREFIX ?= /usr/local
INSTALLED_TARGETS = notesview notechart icon_theme

install: setup
	cmake --preset release
	cmake --build --preset release --target $(INSTALLED_TARGETS)
	cmake --install build/release --prefix $(PREFIX)

# A Debian package of the same, in build/release/packages.
package: setup
	cmake --preset release
	cmake --build --preset release --target $(INSTALLED_TARGETS)
	cpack -G DEB --config build/release/CPackConfig.cmake -B build/release/packages

# The library, notesview.exe and notechart.exe for 32- and 64-bit Windows
# (mingw-w64, in build/windows-i686 and build/windows-x86_64). The build
# tools run here, so they come from the default build first.
windows-tools: setup
	cmake --preset default
	cmake --build --preset default --target formc rescomp mainicon cursorc notechart notesview_wine_tests

windows: windows-tools
	$(MAKE) --no-print-directory windows-builds

windows-builds:
	cmake --preset windows-i686
	cmake --build --preset windows-i686
	cmake --preset windows-x86_64
	cmake --build --preset windows-x86_64
