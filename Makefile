# Kiv — the two commands a fresh Debian machine needs are `make run` and `make test`.
BUILD ?= build
FUZZ_BUILD ?= build-fuzz
ASAN_BUILD ?= build-asan
JOBS ?= 2
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 20
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: all bootstrap configure build run test bench fuzz fuzz-smoke sanitize lint screenshots clean \
        install package

all: build

bootstrap:
	@bash scripts/bootstrap.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Without a display the window opens on a private X server, is saved as a picture
# and closes again.
run: bootstrap build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then $(BUILD)/bin/kiv examples/sample.kiv; \
	else xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD)/bin/kiv examples/sample.kiv \
	       --screenshot $(BUILD)/screenshot.png && \
	     echo "run: no display here; the window was saved to $(BUILD)/screenshot.png"; fi

test: bootstrap build fuzz-build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600
	@$(MAKE) --no-print-directory fuzz-smoke

# `make install PREFIX=/usr DESTDIR=/tmp/stage` stages an installation; without
# DESTDIR the desktop's caches are refreshed too.
install: bootstrap build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A .deb for Debian 12 in $(BUILD): apt install ./$(BUILD)/kiv_*.deb
package: bootstrap build
	cd $(BUILD) && cpack -G DEB

bench: bootstrap build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b --benchmark_min_time=0.1; done

$(FUZZ_BUILD)/build.ninja:
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIV_BUILD_FUZZ=ON -DKIV_BUILD_GUI=OFF \
	  -DKIV_BUILD_TESTS=OFF -DKIV_BUILD_BENCH=OFF

fuzz-build: $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers

# A short run of every fuzz target over its seed corpus; `make fuzz` runs longer.
fuzz-smoke:
	@bash scripts/fuzz.sh $(FUZZ_BUILD) 5

fuzz: bootstrap fuzz-build
	@bash scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The tests built with AddressSanitizer and UndefinedBehaviorSanitizer, in a build of
# their own; any report fails the run (the two suppression files name system libraries
# only). Not part of `make test`.
$(ASAN_BUILD)/build.ninja:
	CMAKE_CXX_COMPILER_LAUNCHER=$${CMAKE_CXX_COMPILER_LAUNCHER-$$(command -v ccache)} \
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
	  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
	  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" \
	  -DKIV_BUILD_BENCH=OFF -DKIV_BUILD_FUZZ=OFF

sanitize: bootstrap $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:suppressions=$(CURDIR)/scripts/asan.supp \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) --timeout 1200

lint: configure
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
	@git ls-files 'src/*.cpp' | xargs clang-tidy -p $(BUILD) --quiet

screenshots: bootstrap build
	@bash scripts/screenshots.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(ASAN_BUILD)
