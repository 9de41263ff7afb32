# Thin wrapper over CMake. `make play` and `make test` install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release
# A first `make play` configures without the tests and the tools; `make test` turns both on
# in the same build folder, and `make play` then still builds only the game.
PLAY_FIRST = $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DBUILD_TESTING=OFF -DKELVANE_BUILD_TOOLS=OFF)
PACKAGE_BUILD = build-package

.PHONY: deps configure build play test assets screenshots soundcheck bench test-asan fuzz package mutants clean

deps:
	@sh scripts/deps.sh test

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) -DBUILD_TESTING=ON -DKELVANE_BUILD_TOOLS=ON >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

play:
	@sh scripts/deps.sh play
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) $(PLAY_FIRST) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target kelvane copy_data
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

# The Debian package: built as Debian builds (its compiler and linker flags, prefix /usr),
# then checked by lintian. The .deb is left in build-package/.
package:
	@sh scripts/deps.sh package
	@export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	  CXXFLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
	  -DBUILD_TESTING=OFF -DKELVANE_BUILD_TOOLS=OFF >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	@cd $(PACKAGE_BUILD) && cpack -G DEB
	@lintian --info $(PACKAGE_BUILD)/kelvane_*.deb

# Mutation testing (tools/mutants/mutants.py): single faults put into FILES (files or folders)
# one at a time, each built in build-mutants/ and run against the tests that cover it.
# SAMPLE is a share of each file's mutants ("35%") or a count per file; 0 runs them all.
FILES ?= src/game src/render src/app
SAMPLE ?= 35%
SEED ?= 1
mutants:
	@python3 tools/mutants/mutants.py --jobs $(JOBS) --sample $(SAMPLE) --seed $(SEED) $(FILES)

clean:
	@rm -rf $(BUILD) build-asan build-fuzz build-mutants $(PACKAGE_BUILD)
