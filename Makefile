# The two commands of the README. Both install what is missing first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test demo bench clean

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
test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The terminal against a local demo board, with a throw-away configuration.
demo: build
	@bash tools/run-demo.sh $(BUILD_DIR)

bench: build
	@for b in $(BUILD_DIR)/bench/*; do \
	  [ -x "$$b" ] || continue; echo "== $$(basename $$b)"; \
	  case $$(basename $$b) in canvas_*|window_*) xvfb-run -a -s "-screen 0 2600x1700x24 -noreset" "$$b";; *) "$$b";; esac; \
	done

clean:
	rm -rf $(BUILD_DIR)

# Installs under PREFIX (default /usr/local); DESTDIR stages it in another root.
PREFIX ?= /usr/local
.PHONY: install package
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# The Debian package: $(BUILD_DIR)/morlen_1.0.0_amd64.deb.
package: build
	@cmake --build $(BUILD_DIR) --target package
