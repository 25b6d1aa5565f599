# The two commands of the README are `make demo` and `make test`. Both
# install what is missing (Debian packages), then build with CMake: `demo`
# only what `tervane` needs, `test` everything.

BUILD   := build
NATIVE  := $(BUILD)/native
ASAN    := $(BUILD)/asan
WIN64   := $(BUILD)/win64
WIN32   := $(BUILD)/win32
FUZZ    := $(BUILD)/fuzz
DIST    := $(BUILD)/dist
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := shortcut_fuzz page_location_fuzz folder_address_fuzz list_pattern_fuzz page_fuzz html_tokenizer_fuzz html_parse_fuzz picture_size_fuzz picture_metadata_fuzz
JOBS    ?= $(shell nproc)
XVFB    := xvfb-run -a -s "-screen 0 1280x1024x24"

.PHONY: all deps program-deps program native asan windows win64 win32 fuzz-build fuzz test test-native test-asan \
	test-fuzz test-windows demo bench dist clean format

all: native windows

deps:
	@scripts/install-deps

program-deps:
	@scripts/install-deps program

# The native tree builds the tests too once `make test` has run in it; a tree
# that `make demo` made builds only the program until then.
$(NATIVE)/build.ninja: | program-deps
	@cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null

$(ASAN)/build.ninja: | deps
	@cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTERVANE_SANITIZE=ON >/dev/null

$(WIN64)/build.ninja: | deps
	@cmake -S . -B $(WIN64) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null

$(WIN32)/build.ninja: | deps
	@cmake -S . -B $(WIN32) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake >/dev/null

$(FUZZ)/build.ninja: | deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DTERVANE_FUZZ=ON >/dev/null

native: deps $(NATIVE)/build.ninja
	@grep -q '^BUILD_TESTING:BOOL=ON' $(NATIVE)/CMakeCache.txt || \
		cmake -S . -B $(NATIVE) -DBUILD_TESTING=ON >/dev/null
	@cmake --build $(NATIVE) -j $(JOBS)

# `tervane` and the libraries it links, nothing else.
program: program-deps $(NATIVE)/build.ninja
	@cmake --build $(NATIVE) -j $(JOBS) --target tervane

asan: deps $(ASAN)/build.ninja
	@cmake --build $(ASAN) -j $(JOBS)

win64: deps $(WIN64)/build.ninja
	@cmake --build $(WIN64) -j $(JOBS)

# The 32-bit build is the deliverable for the editor; its tests run under
# 32-bit Wine.
win32: deps $(WIN32)/build.ninja
	@cmake --build $(WIN32) -j $(JOBS)

windows: win64 win32

fuzz-build: deps $(FUZZ)/build.ninja
	@cmake --build $(FUZZ) -j $(JOBS)

# Fuzzes each reader for FUZZ_SECONDS, growing its corpus under fuzz/corpus.
fuzz: fuzz-build
	@mkdir -p $(FUZZ)/findings
	@for target in $(FUZZ_TARGETS); do \
		echo "== $$target for $(FUZZ_SECONDS) s"; \
		$(FUZZ)/bin/$$target -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
			-artifact_prefix=$(FUZZ)/findings/$$target- fuzz/corpus/$$target 2>&1 | \
			grep -E '^#[0-9]+ +DONE|property failed|ERROR|SUMMARY' || true; \
	done

test-native: native
	@echo "== native tests =="
	@cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

test-asan: asan
	@echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
	@cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# Every fuzz target replays its corpus: the inputs that once found a fault
# stay fixed.
test-fuzz: fuzz-build
	@echo "== fuzz corpora =="
	@cd $(FUZZ) && ctest --output-on-failure -j $(JOBS)

# Every Windows test under one Xvfb: a Wine session keeps the display it
# started with. Both architectures share one Wine prefix, so they take turns;
# within one, the suites run side by side (each has its own folders and
# second drive; those that share the registry or the active window say so
# in a resource lock).
# Where this machine cannot run 32-bit programs, CTest reports the i686
# tests as skipped, and the probe says why.
test-windows: windows
	@$(XVFB) sh -c '\
	  echo "== Windows tests, x86_64, under wine64 ==" && \
	  (cd $(WIN64) && ctest --output-on-failure -j $(JOBS)) && \
	  echo "== Windows tests, i686, under 32-bit Wine ==" && \
	  { why=$$(scripts/wine-run --probe32) || echo "Skipping the i686 tests: $$why"; } && \
	  (cd $(WIN32) && ctest --output-on-failure -j $(JOBS))'

# Runs every test. CTest's summary of the last suite ends the output.
test: test-native test-asan test-fuzz test-windows

demo: program
	@scripts/demo $(NATIVE)/bin/tervane $(BUILD)/demo

# Optimised build in its own folder, micro-benchmarks and whole-program
# comparisons with find, tree and cp; prints one table. Never part of test.
bench: deps
	@JOBS=$(JOBS) scripts/bench $(BUILD)/bench-build $(BUILD)/bench

# The release: a Debian package of `tervane` (from the native build) and a
# ZIP for Windows users (the i686 installer, tervane.exe and the Japanese
# guide), made by CPack in build/dist. Not part of test.
dist: native win32
	@rm -rf $(DIST) && mkdir -p $(DIST)
	@cpack --config $(NATIVE)/CPackConfig.cmake -B $(CURDIR)/$(DIST) >/dev/null
	@cpack --config $(WIN32)/CPackConfig.cmake -B $(CURDIR)/$(DIST) >/dev/null
	@rm -rf $(DIST)/_CPack_Packages
	@ls -l $(DIST)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
