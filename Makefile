# The two commands: `make demo` and `make test`. Both install what is missing.
BUILD      := build
MAKEFLAGS += --no-print-directory
JOBS       ?= $(shell nproc)
# The Wine prefix outlives build folders and clones: creating one takes minutes.
WINEPREFIX ?= $(or $(XDG_CACHE_HOME),$(HOME)/.cache)/zqdemo/wineprefix-win32
WINE_ENV   := WINEARCH=win32 WINEPREFIX=$(WINEPREFIX) WINEDEBUG=-all

.PHONY: all deps host asan tsan win32 demo test test-host test-asan test-tsan test-win32 bench clean format

all: host win32

deps:
	@scripts/install-deps.sh

define configure
	@cmake -S . -B $(BUILD)/$(1) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(2) >/dev/null
	@cmake --build $(BUILD)/$(1) -j $(JOBS)
endef

host: deps
	$(call configure,host,)

asan: deps
	$(call configure,asan,-DZQ_SANITIZE=ON)

win32: deps
	$(call configure,win32,-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DCMAKE_CROSSCOMPILING_EMULATOR="$(CURDIR)/scripts/wine-run.sh")

$(WINEPREFIX)/.zq-ready:
	@echo "Creating the Wine prefix $(WINEPREFIX) (once; minutes where i386 is emulated)"
	@mkdir -p $(WINEPREFIX)
	@env -u DISPLAY $(WINE_ENV) wineboot -i >/dev/null 2>&1
	@env $(WINE_ENV) wineserver -w
	@touch $@

test-host: host
	cd $(BUILD)/host && ctest --output-on-failure

test-asan: asan
	cd $(BUILD)/asan && ctest --output-on-failure

# ThreadSanitizer: only the test programs, and in them the suites that run
# threads against each other (named *Threads).
tsan: deps
	@cmake -S . -B $(BUILD)/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZQ_TSAN=ON >/dev/null
	@cmake --build $(BUILD)/tsan -j $(JOBS) --target test_runtime test_gfx

test-tsan: tsan
	@for t in runtime gfx; do \
	  $(BUILD)/tsan/tests/test_$$t --gtest_filter='*Threads.*' || exit 1; \
	done

test-win32: win32 $(WINEPREFIX)/.zq-ready
	cd $(BUILD)/win32 && ZQ_WINEPREFIX=$(WINEPREFIX) ctest --output-on-failure; \
	  status=$$?; env $(WINE_ENV) wineserver -k 2>/dev/null; exit $$status

test: test-host test-asan test-win32

demo: win32 $(WINEPREFIX)/.zq-ready
	@ZQ_WINEPREFIX=$(WINEPREFIX) scripts/run-demo.sh $(BUILD)/win32/zqdemo.exe $(BUILD)/demo.png

bench: deps
	$(call configure,bench,-DZQ_BENCH=ON -DCMAKE_BUILD_TYPE=Release)
	@for b in $(BUILD)/bench/bench/bench_*; do $$b; done

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
