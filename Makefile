# The two commands of the README. Each installs what is missing first.
.PHONY: run test setup build bench format

setup:
	@bash scripts/setup.sh

build: setup
	cmake --preset default
	cmake --build --preset default

run: build
	./build/bin/notechart C

test: setup
	cmake --preset default
	cmake --build --preset default
	ctest --preset default
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

bench: setup
	cmake --preset release
	cmake --build --preset release
	./build/release/bin/velbrin_bench

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i
