# The two commands of the README: `make demo` and `make test`.
# Both install what is missing (Debian packages), then build with CMake.

BUILD   := build
NATIVE  := $(BUILD)/native
ASAN    := $(BUILD)/asan
JOBS    ?= $(shell nproc)

.PHONY: all deps native asan test demo clean format

all: native

deps:
	@scripts/install-deps

$(NATIVE)/build.ninja: | deps
	@cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

$(ASAN)/build.ninja: | deps
	@cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTERVANE_SANITIZE=ON >/dev/null

native: deps $(NATIVE)/build.ninja
	@cmake --build $(NATIVE) -j $(JOBS)

asan: deps $(ASAN)/build.ninja
	@cmake --build $(ASAN) -j $(JOBS)

# Runs every test: the native suite, then the same suite under the sanitizers.
test: native asan
	@echo "== native tests =="
	@cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)
	@echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
	@cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

demo: native
	@scripts/demo $(NATIVE)/bin/tervane $(BUILD)/demo

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
