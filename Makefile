# Thin wrapper over CMake.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build test run clean

deps:
	@bash scripts/install-deps.sh

configure:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: deps build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 600

run: deps build
	@echo "The command-line tool and the desktop program are not built yet; nothing to run."

clean:
	rm -rf $(BUILD_DIR)
