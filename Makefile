# Thin wrapper over CMake: `make run` and `make test` are all a newcomer types.
BUILD_DIR ?= build
CMAKE_BUILD_TYPE ?= RelWithDebInfo
# A comma-separated list for -fsanitize=, e.g. address,undefined.
SANITIZE ?=
WERROR ?= OFF
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
DEMO_FID := $(CURDIR)/examples/demo/1/fid

.PHONY: all deps build run test bench fuzz install package clean

all: build

deps:
	./scripts/install-deps

# One stamp per set of options (as neovim's checkprefix does for its prefix): changing
# any of them configures the build folder again.
comma := ,
STAMP := $(BUILD_DIR)/.ran-cmake-$(CMAKE_BUILD_TYPE)-$(subst $(comma),+,$(SANITIZE))-$(WERROR)

$(STAMP):
	rm -f $(BUILD_DIR)/.ran-cmake*
	cmake -S . -B $(BUILD_DIR) $(GENERATOR) \
	  -DCMAKE_BUILD_TYPE=$(CMAKE_BUILD_TYPE) \
	  -DFIDSONG_SANITIZE=$(SANITIZE) \
	  -DFIDSONG_WERROR=$(WERROR)
	touch $@

build: deps $(STAMP)
	cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/window/fid-song $(DEMO_FID)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure --timeout 300

bench: build
	$(BUILD_DIR)/bench/fid-song-bench

# The readers of other makers' files, fuzzed with clang's libFuzzer under ASan and UBSan,
# FUZZ_SECONDS each, from the seeds in fuzz/seeds.
FUZZ_SECONDS ?= 60
FUZZERS := jeol_delta jcamp_dx varian_vnmrj spinsolve
fuzz: deps
	cmake -S . -B build-fuzz $(GENERATOR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
	  -DFIDSONG_FUZZ=ON -DFIDSONG_SANITIZE=address,undefined
	cmake --build build-fuzz
	for f in $(FUZZERS); do \
	  mkdir -p build-fuzz/corpus/$$f && cp fuzz/seeds/$$f/* build-fuzz/corpus/$$f/ && \
	  build-fuzz/fuzz/$${f}_fuzzer -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -print_final_stats=1 \
	    build-fuzz/corpus/$$f || exit 1; \
	done

install: build
	cmake --install $(BUILD_DIR)

# The Debian package, fid-song_VERSION_ARCH.deb in the build folder.
package: build
	cmake --build $(BUILD_DIR) --target package

clean:
	rm -rf $(BUILD_DIR)
