# The two commands of the README. Each installs what is missing first.
.PHONY: run test setup build bench fuzz format windows windows-tools

setup:
	@bash scripts/setup.sh

build: setup
	cmake --preset default
	cmake --build --preset default

# The chart window on the X display of DISPLAY; without one, notesview says
# so and the chart is printed as text instead.
run: build
	./build/bin/notesview || ./build/bin/notechart C

test: setup
	cmake --preset default
	cmake --build --preset default
	ctest --preset default
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan
	cmake --preset fuzz
	cmake --build --preset fuzz
	ctest --preset fuzz
	$(MAKE) windows
	ctest --preset windows-i686
	ctest --preset windows-x86_64

# The reader's fuzz target for as long as asked: make fuzz FUZZ_SECONDS=3600
fuzz: setup
	cmake --preset fuzz -DFUZZ_SECONDS=$(or $(FUZZ_SECONDS),600)
	cmake --build --preset fuzz --target reader_fuzz

bench: setup
	cmake --preset release
	cmake --build --preset release
	./build/release/bin/velbrin_bench

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

# The library, notesview.exe and notechart.exe for 32- and 64-bit Windows
# (mingw-w64, in build/windows-i686 and build/windows-x86_64). The build
# tools run here, so they come from the default build first.
windows-tools: setup
	cmake --preset default
	cmake --build --preset default --target formc rescomp mainicon cursorc notechart

windows: windows-tools
	cmake --preset windows-i686
	cmake --build --preset windows-i686
	cmake --preset windows-x86_64
	cmake --build --preset windows-x86_64
