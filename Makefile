# The two commands: `make demo` and `make test`. Both install what is missing.
BUILD      := build
MAKEFLAGS += --no-print-directory
JOBS       ?= $(shell nproc)
# Whether this machine's kernel runs 32-bit programs (some are built without).
# A shell test, evaluated when a recipe runs: only then has the install step put
# Wine in place.
RUNS_32BIT = /usr/lib/wine/wineserver32 --version >/dev/null 2>&1

.PHONY: all deps host asan tsan win32 win64 demo test test-host test-asan test-tsan \
        test-win32 test-win64 bench bench-build clean format fuzz fuzz-build test-fuzz \
        install install-win32 install-win64 docs test-consumer

all: host win32 win64

deps:
	@scripts/install-deps.sh

define configure
	@cmake -S . -B $(BUILD)/$(1) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(2) >/dev/null
	@cmake --build $(BUILD)/$(1) -j $(JOBS)
endef

# $(call windows,ARCH,TOOLCHAIN): a Windows build whose tests run under Wine.
define windows
	$(call configure,$(1),-DCMAKE_TOOLCHAIN_FILE=cmake/$(2).cmake \
	  -DCMAKE_CROSSCOMPILING_EMULATOR="$(CURDIR)/scripts/wine-run.sh;$(1)" \
	  -DZQ_HOST_BUILD=$(CURDIR)/$(BUILD)/host)
endef

# $(call wine_ctest,ARCH): runs a Windows build's tests, then ends its Wine server.
define wine_ctest
	cd $(BUILD)/$(1) && ctest --output-on-failure; status=$$?; \
	  bash -c 'source $(CURDIR)/scripts/wine-env.sh $(1) && wineserver -k' 2>/dev/null; exit $$status
endef

host: deps
	$(call configure,host,)

asan: deps
	$(call configure,asan,-DZQ_SANITIZE=ON)

# ThreadSanitizer: only the test programs; the stage runs their *Threads suites
# and the demo and the probe on the X11 driver's update thread.
tsan: deps
	@cmake -S . -B $(BUILD)/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZQ_TSAN=ON >/dev/null
	@cmake --build $(BUILD)/tsan -j $(JOBS) --target test_runtime test_gfx zqdemo zqprobe \
	  zqframes

win32: deps
	$(call windows,win32,mingw-i686)

win64: deps
	$(call windows,win64,mingw-x86_64)

test-host: host
	cd $(BUILD)/host && ctest --output-on-failure

test-asan: asan
	cd $(BUILD)/asan && ctest --output-on-failure

test-tsan: tsan
	cd $(BUILD)/tsan && ctest --output-on-failure -L threads

# The end-to-end tests use host tools (zqframes).
test-win64: host win64
	$(call wine_ctest,win64)

# The 32-bit product is built everywhere; its tests run where the kernel can.
test-win32: host win32
	@if $(RUNS_32BIT); then ($(call wine_ctest,win32)); else \
	  echo "test-win32: SKIPPED: this machine's kernel cannot run 32-bit programs;" \
	    "the 32-bit product was built but not run (its sources are tested as the 64-bit build)"; fi

# The benchmarks are built by `make test` too, so that a Release-only warning
# cannot break `make bench` unseen.
bench-build: deps
	@cmake -S . -B $(BUILD)/bench -DZQ_BENCH=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD)/bench -j $(JOBS) --target zq_benchmarks

# libFuzzer harnesses (clang): `make fuzz` runs each for FUZZ_SECONDS, growing a
# corpus in the build folder from the one kept in fuzz/corpus; `make test-fuzz`
# replays the kept corpora only.
FUZZ_SECONDS ?= 60
FUZZERS      := lzw api term_keys line_edit key_translate
FUZZ_DIR      = $(BUILD)/fuzz

fuzz-build: deps
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DZQ_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZERS))

fuzz: fuzz-build
	@for f in $(FUZZERS); do mkdir -p $(FUZZ_DIR)/corpus/$$f; \
	  $(FUZZ_DIR)/fuzz/fuzz_$$f -max_total_time=$(FUZZ_SECONDS) -dict=fuzz/$$f.dict \
	    -artifact_prefix=$(FUZZ_DIR)/$$f- -print_final_stats=1 \
	    $(FUZZ_DIR)/corpus/$$f fuzz/corpus/$$f >$(FUZZ_DIR)/$$f.log 2>&1; status=$$?; \
	  echo "$$f: $$(grep -E '^#[0-9]+' $(FUZZ_DIR)/$$f.log | tail -1)"; \
	  if [ $$status -ne 0 ]; then grep -E 'ERROR|oracle failed|runtime error|Test unit' \
	    $(FUZZ_DIR)/$$f.log; exit 1; fi; done

test-fuzz: fuzz-build
	@for f in $(FUZZERS); do \
	  $(FUZZ_DIR)/fuzz/fuzz_$$f -runs=0 fuzz/corpus/$$f >$(FUZZ_DIR)/$$f-replay.log 2>&1 \
	    || { cat $(FUZZ_DIR)/$$f-replay.log; exit 1; }; \
	  echo "test-fuzz: $$f: $$(grep -E '^Done' $(FUZZ_DIR)/$$f-replay.log)"; done


# `make install PREFIX=DIR` (and install-win32, install-win64): the static
# library, the public headers, the CMake package zqgfx and zqgfx.pc.
define install_to
	@test -n "$(PREFIX)" || { echo "usage: make $@ PREFIX=DIR"; exit 2; }
	@cmake --install $(BUILD)/$(1) --prefix "$(PREFIX)"
endef

install: host
	$(call install_to,host)

install-win32: win32
	$(call install_to,win32)

install-win64: win64
	$(call install_to,win64)

# The API reference from the public headers; an undocumented call fails it.
docs:
	@mkdir -p $(BUILD)/docs
	@(cat docs/Doxyfile; echo "OUTPUT_DIRECTORY = $(BUILD)/docs") | doxygen -
	@echo "docs: $(BUILD)/docs/html/index.html"

# The examples built from an installed prefix alone and run to their end.
test-consumer: host win64 win32
	@tests/consumer/consumer.sh host
	@tests/consumer/consumer.sh win64
	@if $(RUNS_32BIT); then tests/consumer/consumer.sh win32; else \
	  echo "test-consumer: win32 SKIPPED: this machine's kernel cannot run 32-bit programs"; fi

test: test-host test-asan test-tsan test-win64 test-win32 bench-build test-fuzz test-consumer docs

# Runs the 32-bit product where the kernel allows, else the 64-bit build.
demo: deps
	@if $(RUNS_32BIT); then arch=win32; else arch=win64; fi; \
	  $(MAKE) $$arch && scripts/run-demo.sh $$arch $(BUILD)/demo.png

bench: bench-build
	@for b in $(BUILD)/bench/bench/bench_*; do $$b; done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
