# Front door: `make run` builds and starts the game, `make test` builds and
# runs every test twice: as shipped, and again under the sanitizers.
BUILD      ?= build
ASAN_BUILD ?= build-asan
GENERATOR  := -G Ninja
# A compiler cache, where the machine has one, makes rebuilds of other
# checkouts cheap; builds are the same without it.
LAUNCHER   := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
JOBS       ?= $(shell nproc)

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: all build run server test test-main test-asan bench fuzz clean bootstrap install package

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake -S . -B $(BUILD) $(GENERATOR) $(LAUNCHER) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/quintelle

# The score and update service in the foreground, on 127.0.0.1:80 where the
# game looks by default; SERVER_ARGS for its options, e.g.
#   make server SERVER_ARGS="--listen 127.0.0.1:8080 --files dist"
SERVER_ARGS ?=
server: build
	./$(BUILD)/server/quintelle-server $(SERVER_ARGS)

# Installs under PREFIX (default /usr/local): the program, its menu entry and
# icons, metainfo and documentation.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package and the source tarball, in $(BUILD).
package: build
	cd $(BUILD) && cpack -G DEB && cpack --config CPackSourceConfig.cmake

test: test-main test-asan

test-main: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: bootstrap
	@cmake -S . -B $(ASAN_BUILD) $(GENERATOR) $(LAUNCHER) -DCMAKE_BUILD_TYPE=Debug \
	    -DQUINTELLE_UI=ON -DQUINTELLE_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: build
	./$(BUILD)/bench/quintelle_bench
	./$(BUILD)/bench/quintelle_bench_download
	./$(BUILD)/bench/quintelle_bench_page
	./$(BUILD)/bench/quintelle_bench_resize
	./$(BUILD)/bench/quintelle_bench_server
	./$(BUILD)/bench/quintelle_bench_dailyclient
	./$(BUILD)/bench/quintelle_bench_startup
	./$(BUILD)/bench/quintelle_bench_history

# Coverage-guided fuzzing of the stored-file parsers with clang's libFuzzer,
# FUZZ_SECONDS per target; findings land in $(FUZZ_BUILD)/fuzz.
fuzz:
	@scripts/bootstrap fuzz
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
	    -DQUINTELLE_UI=OFF -DQUINTELLE_SANITIZE=ON -DQUINTELLE_LIBFUZZER=ON -DQUINTELLE_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_lzrw1 fuzz_loadgrid fuzz_inifile fuzz_updatemanifest fuzz_storedpicture fuzz_dailyprotocol
	@for t in fuzz_lzrw1 fuzz_loadgrid fuzz_inifile fuzz_updatemanifest fuzz_storedpicture fuzz_dailyprotocol; do \
	    mkdir -p $(FUZZ_BUILD)/fuzz/corpus-$$t && cp -n fuzz/corpus/$$t/* $(FUZZ_BUILD)/fuzz/corpus-$$t/; \
	    (cd $(FUZZ_BUILD)/fuzz && ./$$t -max_total_time=$(FUZZ_SECONDS) corpus-$$t) || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
