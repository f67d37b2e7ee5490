# make run   installs what is missing, builds, prepares the data folder ./datos, starts the
#            indicator simulator on 127.0.0.1 and the program.
# make test  installs what is missing, builds and runs every test.
# make deb   installs what is missing, builds and leaves the Debian package bascora_*.deb in the
#            build folder.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test bench deb clean format

deps:
	./scripts/instalar-dependencias.sh

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./scripts/ejecutar.sh $(BUILD)

test: build
	./scripts/probar.sh $(BUILD)

bench: build
	./scripts/bench.sh $(BUILD)

deb: build
	cd $(BUILD) && cpack -G DEB

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
