# The two commands of the README: `make run` and `make test`.
# Both install what is missing, configure and build first.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: run test deps configure build bench package clean

run: build
	$(BUILD_DIR)/bin/glimber

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure --timeout 600 -j $(JOBS)

bench: build
	$(BUILD_DIR)/bin/index_bench
	$(BUILD_DIR)/bin/search_bench
	$(BUILD_DIR)/bin/annotate_bench
	$(BUILD_DIR)/bin/config_bench
	test -d /tmp/library-bench/screens || bench/library/make-screens.sh $(BUILD_DIR) /tmp/library-bench/screens
	$(BUILD_DIR)/bin/library_bench
	$(BUILD_DIR)/bin/ocr_bench
	xvfb-run -a -s "-screen 0 1920x1200x24" $(BUILD_DIR)/bin/scroll_bench
	$(BUILD_DIR)/bin/capture_bench
	$(BUILD_DIR)/bin/text_capture_bench /tmp/library-bench/screens

# A Debian package of the programs: build/glimber_VERSION_ARCH.deb.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR)
