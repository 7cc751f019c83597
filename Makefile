# Quorvel: `make run` and `make test` do all set-up on a fresh Debian machine.
BUILD ?= build
JOBS ?= $(shell nproc)
SAMPLE ?= samples/sample-book.json

SANITIZED_BUILD ?= build-sanitized
FUZZ_SECONDS ?= 60

# How the sanitizers behave in the sanitized build: for its tests, its fuzz
# targets and every child process they start. Leaks count as findings; the
# suppressions file names system libraries only.
ASAN_CHECKS = detect_leaks=1:check_initialization_order=1:strict_init_order=1
SANITIZER_ENV = ASAN_OPTIONS=$(ASAN_CHECKS) \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/support/leaks.supp:print_suppressions=0 \
  ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer

.PHONY: setup build test run bench clean sanitized test-sanitized fuzz screens

setup:
	@bash scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# Everything again in a build folder of its own, under AddressSanitizer and
# UndefinedBehaviorSanitizer, with the fuzz targets.
sanitized: setup
	@cmake -S . -B $(SANITIZED_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_SANITIZE=ON >/dev/null
	@env $(SANITIZER_ENV) cmake --build $(SANITIZED_BUILD) -j$(JOBS)

test-sanitized: sanitized
	@env $(SANITIZER_ENV) ctest --test-dir $(SANITIZED_BUILD) --output-on-failure -j$(JOBS)

# Every fuzz target for FUZZ_SECONDS from its seeds; a crash, a hang or
# running out of memory fails. The same checks, but a finding's report
# names only the nearest callers of the memory it misused: recording every
# allocation's whole stack took half the time of the targets that allocate
# most. A finding is kept and replayed by ctest with the whole stacks.
fuzz: sanitized
	@env $(SANITIZER_ENV) ASAN_OPTIONS=$(ASAN_CHECKS):malloc_context_size=2 \
	  bash fuzz/run.sh $(SANITIZED_BUILD) $(FUZZ_SECONDS) $(JOBS)

# The window on the shipped sample in demo mode, with the stand-in of the
# maker's service beside it so ordering works offline; the service stops
# when the app ends. Without a display the app says so and fails.
run: build
	@mkdir -p $(BUILD)/service-data
	@$(BUILD)/stage/libexec/quorvel/quorvel-service --port 8787 --data $(BUILD)/service-data --mode stripe & svc=$$!; \
	  QUORVEL_DEMO="$(abspath $(SAMPLE))" QUORVEL_API=http://127.0.0.1:8787 \
	  QUORVEL_HANDOFF_ORIGIN=http://127.0.0.1:8787 $(BUILD)/stage/bin/quorvel; status=$$?; \
	  kill $$svc 2>/dev/null; wait $$svc 2>/dev/null; exit $$status

# Every screen, sheet, popover and menu in both appearances at the window's
# three sizes, as <screen>-<state>-<light|dark>-<W>x<H>.png in $(BUILD)/screens:
# on a keyring of its own, which unlocking an encrypted backup needs, then
# the scenes of a desktop without one on a bus where none answers.
screens: build
	@rm -rf $(BUILD)/screens
	@bash tests/support/with-keyring.sh $(BUILD)/gallery/screens_gallery
	@bash tests/support/without-keyring.sh $(BUILD)/gallery/screens_gallery --gtest_filter='*WithoutAKeyring*'

bench: build
	@cmake --build $(BUILD) -j$(JOBS) --target quorvel_bench
	@bash scripts/bench.sh $(BUILD)

clean:
	@rm -rf $(BUILD) $(SANITIZED_BUILD)
