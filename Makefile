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

# The window on the shipped sample in demo mode, with the stand-in of the
# maker's service beside it so ordering works offline; the service stops
# when the app ends. Without a display the app says so and fails.
run: build
	@mkdir -p $(BUILD)/service-data
	@$(BUILD)/stage/libexec/quorvel/quorvel-service --port 8787 --data $(BUILD)/service-data --mode stripe & svc=$$!; \
	  QUORVEL_DEMO="$(abspath $(SAMPLE))" QUORVEL_API=http://127.0.0.1:8787/api \
	  QUORVEL_HANDOFF_ORIGIN=http://127.0.0.1:8787 $(BUILD)/stage/bin/quorvel; status=$$?; \
	  kill $$svc 2>/dev/null; wait $$svc 2>/dev/null; exit $$status

bench: build
	@cmake --build $(BUILD) -j$(JOBS) --target quorvel_bench
	@bash scripts/bench.sh $(BUILD)

clean:
	@rm -rf $(BUILD)
