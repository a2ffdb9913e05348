# Shortcuts over the CMake presets; the scripts in tools/ do the work.
.PHONY: run test build tsan bench clean

run:
	tools/run.sh

test:
	tools/test.sh

build:
	cmake --preset dev && cmake --build --preset dev

tsan:
	tools/setup.sh && cmake --preset tsan && cmake --build --preset tsan && ctest --preset tsan

bench:
	tools/setup.sh && cmake --preset release && cmake --build --preset release

clean:
	rm -rf build
