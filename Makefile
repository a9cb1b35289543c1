# The two commands of the README. Both install what they need first and are safe to re-run.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: demo test build setup configure clean

demo: build
	scripts/demo.sh $(BUILD_DIR) out/demo

test: build
	cd $(BUILD_DIR) && xvfb-run -a ctest --output-on-failure -j $(JOBS)

build: configure
	cmake --build $(BUILD_DIR) --parallel $(JOBS)

configure: setup
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release

setup:
	scripts/setup.sh

clean:
	rm -rf $(BUILD_DIR)
