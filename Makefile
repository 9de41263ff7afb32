# Thin wrapper over CMake. `make play` and `make test` install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: deps configure build play test assets screenshots soundcheck bench test-asan fuzz clean

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

# The tour of every screen; its pictures in docs/screens are the README's.
screenshots: build
	@cmake --build $(BUILD) --target playtest -j $(JOBS) && sh scripts/screenshots.sh $(BUILD)

# The tour played at its own pace with the sound captured through SDL's disk audio driver,
# and the figures of what was heard: peak, RMS, clipped samples, left/right correlation.
soundcheck: build
	@cmake --build $(BUILD) --target playtest soundcheck -j $(JOBS) && sh scripts/soundcheck.sh $(BUILD)

bench: build
	@cmake --build $(BUILD) --target bench_all -j $(JOBS) && sh scripts/bench.sh $(BUILD)

test-asan:
	@$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DKELVANE_SANITIZE=ON"

# libFuzzer targets under Clang; each runs FUZZ_SECONDS on its corpus in build-fuzz/corpus.
FUZZ_SECONDS ?= 60
fuzz:
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVANE_FUZZ=ON >/dev/null
	@cmake --build build-fuzz --target fuzz_all -j $(JOBS)
	@for f in build-fuzz/tools/fuzz/*_fuzz; do \
	  n=$$(basename $$f); mkdir -p build-fuzz/corpus/$$n; \
	  seeds=; [ -d tools/fuzz/seeds/$$n ] && seeds=tools/fuzz/seeds/$$n; \
	  dict=; [ -f tools/fuzz/$$n.dict ] && dict=-dict=tools/fuzz/$$n.dict; \
	  echo "== $$n ($(FUZZ_SECONDS) s)"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 $$dict build-fuzz/corpus/$$n $$seeds || exit 1; \
	done

clean:
	@rm -rf $(BUILD) build-asan build-fuzz
