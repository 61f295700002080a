# make run [FILE=path]   install what is missing, build, open the editor
# make test              install what is missing, build with sanitizers, run every test
# make gui-test          only the window test under Xvfb and openbox (part of make test)
# make install           build for /usr/local (PREFIX=...) and install it there
# make deb               build the Debian package and check it (scripts/check-package.sh)
BUILD_DIR ?= build
TEST_BUILD_DIR ?= build-test
JOBS ?= $(shell nproc)

PREFIX ?= /usr/local

.PHONY: run test gui-test deps build install deb bench coverage clean

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

gui-test: deps
	@cmake -S . -B $(TEST_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORBY_SANITIZE=ON >/dev/null
	@cmake --build $(TEST_BUILD_DIR) -j $(JOBS) --target test_gui quorby
	cd $(TEST_BUILD_DIR) && ctest --output-on-failure -L gui

install: deps
	@cmake -S . -B build-install -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBY_TESTS=OFF -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	@cmake --build build-install -j $(JOBS)
	cmake --install build-install

deb: deps
	scripts/check-package.sh

bench: deps
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORBY_TESTS=OFF -DQUORBY_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS)

coverage: deps
	@scripts/coverage.sh . $(JOBS)

clean:
	rm -rf $(BUILD_DIR) $(TEST_BUILD_DIR) build-bench build-cov build-install build-package
