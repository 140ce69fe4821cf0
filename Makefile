# The README's commands. Each one first installs whatever Debian packages are missing.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: setup build test test-plain test-asan run bench fuzz screenshots clean package install

setup:
	@tools/setup.sh

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test-plain: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# Same tests with AddressSanitizer and UndefinedBehaviorSanitizer, built with clang so that the
# fuzz targets build too; each fuzz target then runs briefly over its seed corpus.
$(ASAN_BUILD)/build.ninja: | setup
	CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DLUMATAG_SANITIZE=ON -DLUMATAG_FUZZ=ON -DLUMATAG_BENCH=OFF

test-asan: setup $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

test: test-plain test-asan

# The Debian package, left in $(BUILD)/ (lumatag_VERSION_ARCH.deb).
package: build
	cd $(BUILD) && cpack -G DEB

# Installs under PREFIX (default /usr/local): cmake --install with the same layout as the package.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

run: build
	tools/run-demo.sh $(BUILD)

# Previews of the demo photos, a sample dialog and the settings, crash-log and update dialogs on a
# virtual display, saved as PNG files in $(BUILD)/screenshots.
screenshots: build
	rm -rf $(BUILD)/screenshots/photos && mkdir -p $(BUILD)/screenshots/photos
	$(BUILD)/bin/lumatag-make-photos $(BUILD)/screenshots/photos 5
	xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD)/bin/lumatag-ui-gallery $(BUILD)/screenshots \
	  $(BUILD)/screenshots/photos/*.JPG $(BUILD)/screenshots/photos/IMG_TIFF.TIF
	LUMATAG_DIALOG_PICTURES=$(BUILD)/screenshots/dialogs QT_QPA_PLATFORM=xcb \
	  xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD)/tests/test_dialog_widgets \
	  --gtest_filter='DialogPictures*'

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
