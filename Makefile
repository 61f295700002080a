# make run [FILE=path]   install what is missing, build, open the editor
# make test              install what is missing, build with sanitizers, run every test
BUILD_DIR ?= build
TEST_BUILD_DIR ?= build-test
JOBS ?= $(shell nproc)

.PHONY: run test deps build bench coverage clean

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORBY_TESTS=OFF >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/quorby $(if $(FILE),"$(FILE)")

test: deps
	@cmake -S . -B $(TEST_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORBY_SANITIZE=ON >/dev/null
	@cmake --build $(TEST_BUILD_DIR) -j $(JOBS)
	cd $(TEST_BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBY_TESTS=OFF -DQUORBY_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS)

coverage: deps
	@scripts/coverage.sh . $(JOBS)

clean:
	rm -rf $(BUILD_DIR) $(TEST_BUILD_DIR) build-bench build-cov
