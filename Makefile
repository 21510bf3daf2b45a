# The two commands of the project:
#   make run      sets up the machine, builds and starts the console (x86
#                 where this machine executes i386 code, x64 where not)
#   make test     sets up the machine, builds every configuration, runs every
#                 test this machine can run and says which it cannot
#   make package  builds the ZIP for Windows users with both consoles
#                 (build/TesselTest-*-windows.zip)
#   make lint     checks the format, the portable core with clang-tidy and
#                 the shell scripts (make test runs it first)
.PHONY: run test setup build clean package lint

JOBS ?= $(shell nproc)

setup:
	scripts/setup-system.sh
	scripts/build-curl.sh i686
	scripts/build-curl.sh x86_64
	scripts/build-benchmark-mingw.sh i686
	scripts/build-benchmark-mingw.sh x86_64
	scripts/wine-prefix.sh win64
	if scripts/i386-probe.sh; then scripts/wine-prefix.sh win32; fi

build: setup
	for preset in windows windows64 native; do \
	  cmake --preset $$preset >/dev/null && cmake --build --preset $$preset -j $(JOBS) || exit 1; \
	done

run: setup
	preset=$$(scripts/console-preset.sh) && \
	  cmake --preset $$preset >/dev/null && \
	  cmake --build --preset $$preset -j $(JOBS) --target tessel_run_folder console_tour && \
	  TESSEL_RUN_PRESET=$$preset scripts/run-console.sh

package: setup
	for preset in windows windows64; do \
	  cmake --preset $$preset >/dev/null && cmake --build --preset $$preset -j $(JOBS) --target tessel_package || exit 1; \
	done
	scripts/make-package.sh

lint:
	scripts/setup-system.sh
	TESSEL_JOBS=$(JOBS) scripts/lint.sh

test: setup
	TESSEL_JOBS=$(JOBS) scripts/lint.sh
	TESSEL_JOBS=$(JOBS) scripts/test-all.sh

clean:
	rm -rf build
