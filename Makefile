# The project's commands. `make run` and `make test` set up a fresh machine
# (Debian packages), build what they need and run.

SHELL := /bin/bash
JOBS ?= 2

DEBIAN_PACKAGES := cmake ninja-build ccache g++ clang lld llvm libgtest-dev libgmock-dev \
  nlohmann-json3-dev libcli11-dev libtiff-dev groff ghostscript \
  g++-mingw-w64-x86-64 googletest wine wine64 zip

.PHONY: all deps build run test debug release clean format cross windows windows-module windows-suite macos package fuzz bench

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

build: deps cross
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target $(DIST_TARGETS)
	cmake --install build/release --prefix dist >/dev/null
	rm -rf dist/windows dist/macos
	mkdir -p dist/windows dist/macos
	cp -R build/windows/modules/kwantel dist/windows/
	cp -R build/macos/modules/KwantelR2025 dist/macos/

# The deliverables only: kwantel.xdl64 (Windows, mingw-w64) and
# KwantelR2025.xlib (macOS, clang and ld64.lld), each in its module folder.
cross: windows-module macos

windows-module: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS) --target kwantel

# The Windows module, emulator and suite, whose tests run under Wine.
windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)

macos: deps
	cmake --preset macos >/dev/null
	cmake --build --preset macos -j $(JOBS)

# Each module folder zipped as it goes into the application's plug-ins folder.
# Entries in a fixed order with the last commit's time, so that the same
# sources give the same archive.
package: build
	export TZ=UTC LC_ALL=C; \
	stamp=$$(git log -1 --format=%cd --date=format-local:%Y%m%d%H%M.%S 2>/dev/null || date +%Y%m%d%H%M.%S); \
	for zip in windows/kwantel:kwantel-windows-x64.zip macos/KwantelR2025:KwantelR2025-macos-arm64.zip; do \
	  folder=$${zip%%:*}; archive=$$PWD/dist/$${zip#*:}; rm -f $$archive; \
	  find dist/$$folder -exec touch -h -t $$stamp {} + && \
	  (cd dist/$${folder%/*} && find $${folder#*/} | sort | zip -q -X -@ $$archive) || exit 1; \
	done

run: build
	dist/bin/hostemu round examples/demo.json -o build/demo-rounded.json --table

# Runs one phase of `make test` and reports its wall time.
TIMED = bash -c 'start=$$SECONDS; "$${@:2}"; status=$$?; echo "== $$1: $$((SECONDS - start)) s"; exit $$status' timed

# The Linux suite (both flavours as shared objects, and the checks that read
# the two deliverables), then the Windows suite under Wine against the real
# kwantel.xdl64.
test: deps
	@$(TIMED) "Linux build" $(MAKE) --no-print-directory debug
	@$(TIMED) "macOS bundle" $(MAKE) --no-print-directory macos
	@$(TIMED) "Windows build" $(MAKE) --no-print-directory windows
	@$(TIMED) "Linux suite and deliverable checks" env KWANTEL_REQUIRE_DELIVERABLES=1 ctest --preset debug
	@$(TIMED) "Windows suite under Wine" $(MAKE) --no-print-directory windows-suite

# One Wine server for the whole suite: left to itself it stops between two
# tests and starts again, and a test that starts meanwhile can fail before
# its first line. A failed test gets one more go: a fault fails it again.
WINE_PREFIX := $(CURDIR)/build/windows/wineprefix

# The server holds none of make's output open, and stops by itself 30 s after
# its last client should the suite be cut short.
windows-suite:
	@WINEPREFIX=$(WINE_PREFIX) wineserver -p30 >/dev/null 2>&1 || true
	@status=0; ctest --preset windows --repeat until-pass:2 || status=$$?; \
	  WINEPREFIX=$(WINE_PREFIX) wineserver -k >/dev/null 2>&1 || true; exit $$status

# libFuzzer (clang-14) on the scene, preference and action-script readers and
# on whole Rounds of the module; FUZZ_SECONDS each (default 60). New inputs go
# to build/fuzz/corpus/, crashes to build/fuzz/artifacts/; the seeds in
# fuzz/corpus/ stay as they are. Not part of `make test`.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := fuzz_scene fuzz_preferences fuzz_actions fuzz_round

fuzz: deps
	cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang-14 \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
	  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
	  -DKWANTEL_SANITIZE=ON -DKWANTEL_TESTS=OFF -DKWANTEL_BENCH=OFF -DKWANTEL_FUZZ=ON >/dev/null
	cmake --build build/fuzz -j $(JOBS) --target $(FUZZ_TARGETS)
	@mkdir -p build/fuzz/artifacts; status=0; \
	for target in $(FUZZ_TARGETS); do \
	  mkdir -p build/fuzz/corpus/$$target; \
	  echo "== $$target: $(FUZZ_SECONDS) s"; \
	  build/fuzz/fuzz/$$target -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	    -artifact_prefix=build/fuzz/artifacts/$$target- build/fuzz/corpus/$$target fuzz/corpus/$$target \
	    2>build/fuzz/$$target.log || { status=1; echo "$$target found a fault: see build/fuzz/$$target.log"; }; \
	  grep -E "^stat::number_of_executed_units|^#[0-9]+.*DONE" build/fuzz/$$target.log | tail -2; \
	done; exit $$status

# The benchmarks, built in release mode in build/bench with the modules' own
# flags: each figure with its ratio and target beside it, and as the last line
# "targets met: K of N". Not part of `make test`.
bench: deps
	cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKWANTEL_SANITIZE=OFF -DKWANTEL_TESTS=OFF \
	  -DKWANTEL_BENCH=ON -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
	cmake --build build/bench -j $(JOBS) --target kwantel_bench
	build/bench/bench/kwantel_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build dist
