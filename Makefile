# Quorvel: `make run` and `make test` do all set-up on a fresh Debian machine.
BUILD ?= build
JOBS ?= $(shell nproc)
SAMPLE ?= samples/sample-book.json

.PHONY: setup build test run bench clean

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

run: build
	@mkdir -p $(BUILD)/sample
	@$(BUILD)/stage/bin/quorvel $(SAMPLE) $(BUILD)/sample/book.pdf

bench: build
	@cmake --build $(BUILD) -j$(JOBS) --target quorvel_bench
	@bash scripts/bench.sh $(BUILD)

clean:
	@rm -rf $(BUILD)
