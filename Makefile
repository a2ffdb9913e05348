# Shortcuts over the CMake presets; the scripts in tools/ do the work.
.PHONY: run test build tsan bench package clean

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

package:
	tools/setup.sh && cmake --preset package && cmake --build --preset package

clean:
	rm -rf build
