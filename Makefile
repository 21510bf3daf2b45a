# The two commands of the project:
#   make run   sets up the machine, builds and starts the console
#   make test  sets up the machine, builds every configuration, runs every test
.PHONY: run test setup build clean

JOBS ?= $(shell nproc)

setup:
	scripts/setup-system.sh
	scripts/build-curl.sh
	scripts/wine-prefix.sh

build: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

run: build
	scripts/run-console.sh

test: setup
	TESSEL_JOBS=$(JOBS) scripts/test-all.sh

clean:
	rm -rf build
