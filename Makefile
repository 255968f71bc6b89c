# Thin front end over CMake. The release build (demo, bench) and the sanitizer
# build (test, fuzz) live in separate build folders.
RELEASE_DIR := build/release
TEST_DIR    := build/test
JOBS        ?= $(shell nproc)
FUZZ_SECONDS ?= 60
WERROR      ?= OFF
DEMO_DIR    ?= recordings/demo
PREFIX      ?= /usr/local
BUILD_DIR   ?= $(RELEASE_DIR)
CONFORMANCE_DIR := build/conformance

.PHONY: all demo test bench fuzz bootstrap release test-build conformance clean install install-files uninstall

all: release

bootstrap:
	@scripts/bootstrap

release: bootstrap
	@cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RELEASE_DIR) -j $(JOBS)

test-build: bootstrap
	@cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	    -DFV_SANITIZE=ON -DFV_FUZZ=ON -DFV_WERROR=$(WERROR) >/dev/null
	@cmake --build $(TEST_DIR) -j $(JOBS)

# Builds only what the demo runs: the screensaver with its media.
demo:
	@echo "demo: [1/3] bootstrap: checking the build packages"
	@scripts/bootstrap
	@echo "demo: [2/3] build: frostvale and its media in $(RELEASE_DIR)"
	@cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(RELEASE_DIR) -j $(JOBS) --target frostvale
	@echo "demo: [3/3] recording"
	@scripts/demo $(RELEASE_DIR) $(DEMO_DIR)

test: test-build
	@ctest --test-dir $(TEST_DIR) --output-on-failure -j $(JOBS)

bench: release
	@$(RELEASE_DIR)/bench/frostvale_bench

# Our Direct3D 9 layer against Wine's, scenario by scenario (tests/d3d9_conformance).
conformance: bootstrap
	@cmake -S . -B $(CONFORMANCE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(CONFORMANCE_DIR) -j $(JOBS) --target conformance_capture conformance_native conformance_compare conformance_wine
	@tests/d3d9_conformance/run_conformance $(CONFORMANCE_DIR)/tests/d3d9_conformance $(CONFORMANCE_DIR)

fuzz: test-build
	@scripts/fuzz $(TEST_DIR) $(FUZZ_SECONDS)

# PREFIX (default /usr/local) and DESTDIR as usual; install-files installs a build folder
# (BUILD_DIR) without building it.
install: release
	@$(MAKE) --no-print-directory install-files BUILD_DIR=$(RELEASE_DIR)

install-files:
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

uninstall:
	@test -f $(BUILD_DIR)/installed_files.txt || { echo "Error: no $(BUILD_DIR)/installed_files.txt; run make release first" >&2; exit 1; }
	@while read -r file; do rm -f "$(DESTDIR)$(PREFIX)/$$file" && echo "Removed $(DESTDIR)$(PREFIX)/$$file"; done < $(BUILD_DIR)/installed_files.txt
	@for dir in libexec/xscreensaver share/xscreensaver/config share/xscreensaver share/applications/screensavers; do \
	  rmdir "$(DESTDIR)$(PREFIX)/$$dir" 2>/dev/null || true; done

clean:
	rm -rf build
