# Two commands for a fresh Debian 12 machine:
#   make run   installs what is missing, builds, and starts Quillet from build/dist/
#   make test  installs what is missing, builds, and runs every test (X11 ones under Xvfb),
#              then the same tests again built with AddressSanitizer and UBSan

PACKAGES := cmake g++ make pkg-config \
	qt6-base-dev qt6-base-dev-tools libgl-dev \
	libsqlite3-dev libgtest-dev \
	libxcb1-dev libxcb-xfixes0-dev libxcb-res0-dev libxcb-keysyms1-dev \
	libcanberra-dev sound-theme-freedesktop fonts-nanum \
	xvfb xauth openbox xdotool xclip x11-utils trayer

JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan

.PHONY: all deps build run test test-release test-asan clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
		echo "Installing:$$missing"; \
		if [ "$$(id -u)" = 0 ]; then sudo=""; else sudo="sudo"; fi; \
		$$sudo apt-get update && \
		$$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS)

# The sounds are looked up under sound/ of the current directory, so Quillet starts in its
# own folder.
run: build
	cd $(BUILD)/dist && ./quillet

test-release: build
	ctest --test-dir $(BUILD) --output-on-failure

# Memory and undefined-behaviour faults fail the run. The end-to-end tests drive the release
# program and are not repeated here.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -LE e2e

test: test-release test-asan

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
