# make run               builds and starts Corvina (PROGRAM=quillon: Quillon)
# make test              builds with the sanitizers and runs every test headless
# make screenshots       takes the README's pictures of the main windows under Xvfb
# make benchmark         measures how fast the virtual bench runs
# make fuzz              runs each fuzz target for FUZZ_SECONDS (60), growing its corpus
# make package           builds the Debian package in build/package (Release, no tests)
# Each installs the Debian packages it needs first, when they are missing.

PROGRAM ?= corvina
JOBS ?= $(shell nproc)
RUN_DIR := build/run
TEST_DIR := build/test

BUILD_PACKAGES := cmake make g++ qt6-base-dev fonts-liberation
TEST_PACKAGES := $(BUILD_PACKAGES) libgtest-dev libgmock-dev desktop-file-utils
SCREENSHOT_PACKAGES := $(BUILD_PACKAGES) xvfb xdotool imagemagick
BENCHMARK_PACKAGES := $(BUILD_PACKAGES) libbenchmark-dev
BENCHMARK_DIR := build/benchmark
FUZZ_PACKAGES := cmake make clang libclang-rt-14-dev
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 60
# dpkg-shlibdeps (dpkg-dev) finds the libraries the package depends on; it reads the programs with file.
PACKAGE_PACKAGES := $(BUILD_PACKAGES) dpkg-dev file
PACKAGE_DIR := build/package

# Installs the packages given that are not installed yet; as root with apt-get,
# otherwise it prints the line to run and stops.
define need-packages
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" -eq 0 ]; then \
	    echo "Installing Debian packages:$$missing"; \
	    apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q$$missing; \
	  else \
	    echo "These Debian packages are missing. Install them, then run make again:"; \
	    echo "  sudo apt-get install$$missing"; \
	    exit 1; \
	  fi; \
	fi
endef

.PHONY: run test build screenshots benchmark fuzz package clean

# Without a board at hand, the program runs on the virtual bench.
run: build
	./$(RUN_DIR)/programs/$(PROGRAM)-sim

build:
	$(call need-packages,$(BUILD_PACKAGES))
	cmake -S . -B $(RUN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(RUN_DIR) -j $(JOBS)

test:
	$(call need-packages,$(TEST_PACKAGES))
	cmake -S . -B $(TEST_DIR) -DCMAKE_BUILD_TYPE=Debug -DCQ_TESTS=ON -DCQ_SANITIZE=ON
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

screenshots: build
	$(call need-packages,$(SCREENSHOT_PACKAGES))
	tools/screenshot.sh $(RUN_DIR) docs

benchmark:
	$(call need-packages,$(BENCHMARK_PACKAGES))
	cmake -S . -B $(BENCHMARK_DIR) -DCMAKE_BUILD_TYPE=Release -DCQ_BENCHMARK=ON
	cmake --build $(BENCHMARK_DIR) -j $(JOBS) --target bench_speed
	$(BENCHMARK_DIR)/bench/bench_speed

fuzz:
	$(call need-packages,$(FUZZ_PACKAGES))
	CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCQ_FUZZ=ON -DCQ_SANITIZE=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	$(FUZZ_DIR)/fuzz/hex_reader_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 fuzz/corpus/hex
	$(FUZZ_DIR)/fuzz/settings_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=300 fuzz/corpus/settings

package:
	$(call need-packages,$(PACKAGE_PACKAGES))
	cmake -S . -B $(PACKAGE_DIR) -DCMAKE_BUILD_TYPE=Release -DCQ_TESTS=OFF -DCQ_SANITIZE=OFF -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(PACKAGE_DIR) -j $(JOBS)
	cd $(PACKAGE_DIR) && cpack -G DEB
	@ls -l $(PACKAGE_DIR)/*.deb

clean:
	rm -rf build
