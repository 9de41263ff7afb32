# Thin wrapper over CMake. `make play` and `make test` install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: deps configure build play test assets bench test-asan clean

deps:
	@sh scripts/deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

play: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make play: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); run it from a desktop session."; exit 1; fi
	@$(BUILD)/kelvane

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

assets: build
	@cmake --build $(BUILD) --target assets

bench: build
	@cmake --build $(BUILD) --target bench_all -j $(JOBS) && sh scripts/bench.sh $(BUILD)

test-asan:
	@$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DKELVANE_SANITIZE=ON"

clean:
	@rm -rf $(BUILD) build-asan
