# Front door: `make run` builds and starts the game, `make test` builds and
# runs every test twice: as shipped, and again under the sanitizers.
BUILD      ?= build
ASAN_BUILD ?= build-asan
GENERATOR  := -G Ninja
JOBS       ?= $(shell nproc)

.PHONY: all build run test test-main test-asan bench clean bootstrap

all: build

bootstrap:
	@scripts/bootstrap

build: bootstrap
	@cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/quintelle

test: test-main test-asan

test-main: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: bootstrap
	@cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
	    -DQUINTELLE_UI=ON -DQUINTELLE_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
	    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: build
	./$(BUILD)/bench/quintelle_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
