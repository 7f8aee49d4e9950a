# The two commands: `make demo` and `make test`. Both install what is missing.
BUILD      := build
MAKEFLAGS += --no-print-directory
JOBS       ?= $(shell nproc)
# Whether this machine's kernel runs 32-bit programs (some are built without).
RUNS_32BIT := $(shell /usr/lib/wine/wineserver32 --version >/dev/null 2>&1 && echo yes)

.PHONY: all deps host asan tsan win32 win64 demo test test-host test-asan test-tsan \
        test-win32 test-win64 bench clean format

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

# ThreadSanitizer: only the test programs; the stage runs their *Threads suites.
tsan: deps
	@cmake -S . -B $(BUILD)/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZQ_TSAN=ON >/dev/null
	@cmake --build $(BUILD)/tsan -j $(JOBS) --target test_runtime test_gfx

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

# The end-to-end tests use host tools (zqframes, zqxclose).
test-win64: host win64
	$(call wine_ctest,win64)

# The 32-bit product is built everywhere; its tests run where the kernel can.
test-win32: host win32
ifeq ($(RUNS_32BIT),yes)
	$(call wine_ctest,win32)
else
	@echo "test-win32: SKIPPED: this machine's kernel cannot run 32-bit programs;" \
	  "the 32-bit product was built but not run (its sources are tested as the 64-bit build)"
endif

test: test-host test-asan test-tsan test-win64 test-win32

# Runs the 32-bit product where the kernel allows, else the 64-bit build.
demo: $(if $(RUNS_32BIT),win32,win64)
	@scripts/run-demo.sh $(if $(RUNS_32BIT),win32,win64) $(BUILD)/demo.png

bench: deps
	$(call configure,bench,-DZQ_BENCH=ON -DCMAKE_BUILD_TYPE=Release)
	@for b in $(BUILD)/bench/bench/bench_*; do $$b; done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
