# The two commands of the README: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?=

.PHONY: all deps build run test test-asan bench fuzz clean FORCE

all: build

deps:
	scripts/install-deps

# Each build folder keeps the CMAKE_FLAGS it was configured with in cmake-flags.txt, rewritten
# only when this run's flags differ. A folder whose flags differ (or that has none written, such
# as a folder configured by hand) is configured afresh, its cache dropped: a folder always holds
# exactly the flags of the last make command that configured it, none included.
export CMAKE_FLAGS
%/cmake-flags.txt: FORCE
	@mkdir -p $*
	@printf '%s\n' "$$CMAKE_FLAGS" > $@.new
	@if cmp -s $@.new $@; then rm $@.new; else mv $@.new $@; fi

$(BUILD)/CMakeCache.txt: $(BUILD)/cmake-flags.txt
	rm -f $@
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/velqor/velqor

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/CMakeCache.txt: $(ASAN_BUILD)/cmake-flags.txt
	rm -f $@
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVELQOR_SANITIZE=ON $(CMAKE_FLAGS)

test-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
	  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target velqor_bench
	QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy $(BUILD)/bench/velqor_bench

fuzz:
	scripts/run-fuzz

FORCE:

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
