# Entry points for developers and CI. Each target installs what it needs first.
BUILD ?= build
JOBS ?= $(shell nproc)
PACKAGES = cmake g++ make libboost-dev zlib1g-dev libgtest-dev libgmock-dev

.PHONY: all deps build test demo format clean

all: build

deps:
	@tools/install_deps.sh $(PACKAGES)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

demo: build
	$(BUILD)/practice_server --demo --coach $(BUILD)/brenvo_coach

format:
	clang-format -i $$(git ls-files '*.h' '*.cpp')

clean:
	rm -rf $(BUILD)
