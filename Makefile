# The project's commands. `make run` and `make test` set up a fresh machine
# (Debian packages), build what they need and run.

SHELL := /bin/bash
JOBS ?= 2

DEBIAN_PACKAGES := cmake ninja-build ccache g++ clang lld llvm libgtest-dev libgmock-dev \
  nlohmann-json3-dev libcli11-dev libtiff-dev groff ghostscript

.PHONY: all deps build run test debug release clean format

all: build

# Installs whatever of the packages is missing; quiet when all are there.
deps:
	@missing=$$(for p in $(DEBIAN_PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:" $$missing; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing >/dev/null; \
	fi

release: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)

debug: deps
	cmake --preset debug >/dev/null
	cmake --build --preset debug -j $(JOBS)

# Builds only what dist/ holds (not the tests), then installs it there.
DIST_TARGETS := hostemu kwantel KwantelR2025

build: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target $(DIST_TARGETS)
	cmake --install build/release --prefix dist >/dev/null

run: build
	dist/bin/hostemu round examples/demo.json -o build/demo-rounded.json --table

test: debug
	ctest --preset debug

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build dist
