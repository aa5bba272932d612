# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands of the README. Both install what is missing first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test demo bench clean sanitize fuzz

all: build

deps:
	@tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/morlen

# Every test passes the first time or the run fails: a flaky test is a bug.
# Then the core's unit tests run again under the sanitizers.
test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory sanitize

# The core library and its unit tests built by clang with AddressSanitizer
# and UndefinedBehaviorSanitizer (leaks included); any report fails.
SANITIZE_DIR ?= build-asan
SANITIZE_FLAGS = -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DCMAKE_C_FLAGS_DEBUG="-g -O1"
sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) $(SANITIZE_FLAGS) -DMORLEN_SANITIZE=address,undefined >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS) --target morlen_tests
	cd $(SANITIZE_DIR) && ASAN_OPTIONS=detect_stack_use_after_return=1:check_initialization_order=1 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest -L unit --output-on-failure -j $(JOBS)

# The fuzz targets (fuzz/), built by clang with libFuzzer and the sanitizers,
# each run for FUZZ_SECONDS; any finding fails and is kept in FUZZ_DIR/findings.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake -S . -B $(FUZZ_DIR) $(SANITIZE_FLAGS) -DMORLEN_FUZZ=ON \
	  -DMORLEN_SANITIZE=fuzzer-no-link,address,undefined >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	@fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# The terminal against a local demo board, with a throw-away configuration;
# TELNET=1: the board speaks telnet and its entry has the Telnet option.
demo: build
	@bash tools/run-demo.sh $(BUILD_DIR) $(if $(TELNET),--telnet)

bench: build
	@for b in $(BUILD_DIR)/bench/*; do \
	  [ -x "$$b" ] || continue; echo "== $$(basename $$b)"; \
	  case $$(basename $$b) in canvas_*|window_*) xvfb-run -a -s "-screen 0 2600x1700x24 -noreset" "$$b";; *) "$$b";; esac; \
	done

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)

# Installs under PREFIX (default /usr/local), stripped; DESTDIR stages it in
# another root. INSTALL_RECORD.files lists the files installed (with DESTDIR) and
# INSTALL_RECORD.dirs the directories the installation created (found by
# installing into a scratch root first): `make uninstall` removes exactly
# those, keeping a directory that something else has filled since.
PREFIX ?= /usr/local
INSTALL_RECORD ?= $(BUILD_DIR)/installed
RECORD = $(abspath $(INSTALL_RECORD))
.PHONY: install install-built uninstall package
install: build
	@$(MAKE) --no-print-directory install-built

# What BUILD_DIR holds, installed without building first.
install-built:
	@rm -rf $(RECORD).stage
	@DESTDIR=$(RECORD).stage cmake --install $(BUILD_DIR) --prefix "$(PREFIX)" --strip >/dev/null
	@cd $(RECORD).stage && find . -mindepth 1 -type d | while read -r dir; do \
	  [ -e "$(DESTDIR)$${dir#.}" ] || echo "$(DESTDIR)$${dir#.}"; done >$(RECORD).new-dirs
	@rm -rf $(RECORD).stage
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)" --strip
	@sed 's|^|$(DESTDIR)|' $(BUILD_DIR)/install_manifest.txt | cat - $(wildcard $(RECORD).files) | LC_ALL=C sort -u >$(RECORD).new-files
	@cat $(RECORD).new-dirs $(wildcard $(RECORD).dirs) | LC_ALL=C sort -ru >$(RECORD).dirs
	@mv $(RECORD).new-files $(RECORD).files && rm -f $(RECORD).new-dirs

uninstall:
	@[ -f $(RECORD).files ] || { echo "nothing was installed from here ($(RECORD).files)"; exit 1; }
	@while read -r file; do [ ! -e "$$file" ] && [ ! -L "$$file" ] || { rm -f "$$file" && echo "-- Removed: $$file"; }; done <$(RECORD).files
	@while read -r dir; do rmdir "$$dir" 2>/dev/null && echo "-- Removed: $$dir/"; done <$(RECORD).dirs; true
	@rm -f $(RECORD).files $(RECORD).dirs

# The Debian package, its programs stripped: $(BUILD_DIR)/morlen_1.0.0_amd64.deb.
package: build
	@cmake --build $(BUILD_DIR) --target package
