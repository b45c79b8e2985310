# Thin wrapper over CMake.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
SAN_DIR ?= build-asan
WIN_DIR ?= build-windows
WEB_DIR ?= build-web

.PHONY: deps configure build test sanitize run install package package-test clean windows-engine windows windows-test web-configure web web-test

deps:
	@bash scripts/install-deps.sh

configure:
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: deps build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 600
	@$(MAKE) --no-print-directory sanitize

# The core and import libraries' tests again under the address and undefined-behaviour sanitizers
# and the standard library's checks (light optimisation and line tables only, to keep the extra
# build short); the import tests hold the hostile archives and malformed documents.
sanitize:
	cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
	  -DLEXMORA_SANITIZE=ON -DLEXMORA_BENCH=OFF
	cmake --build $(SAN_DIR) -j $(JOBS) --target core_tests import_tests
	$(SAN_DIR)/tests/core/core_tests --gtest_brief=1
	$(SAN_DIR)/tests/import/import_tests --gtest_brief=1

# With a display (DISPLAY or WAYLAND_DISPLAY set) starts the desktop program; without one, or while
# it is not built, compares the bundled examples (before and after editing) and prints the report paths.
run: deps build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -x $(BUILD_DIR)/shell/LexmoraCT ]; then \
	  exec $(BUILD_DIR)/shell/LexmoraCT; \
	fi; \
	if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  echo "LexmoraCT is not built; comparing the examples with lexmora-compare instead." >&2; \
	fi; \
	exec $(BUILD_DIR)/cli/lexmora-compare $(addprefix -s ,$(sort $(wildcard examples/before/*.sdlxliff examples/*/before/*))) \
	  $(addprefix -e ,$(sort $(wildcard examples/after/*.sdlxliff examples/*/after/*))) -o Results --tags full

# Installs the programs, the menu entry and the icon: make install PREFIX=~/.local (default /usr/local).
install: build
	cmake --install $(BUILD_DIR) $(if $(PREFIX),--prefix $(PREFIX))

# lexmora-compare.exe for 64-bit Windows, cross-built with MinGW-w64 (the dependencies are built
# once into ~/.cache/lexmora-cross), and its zip in $(WIN_DIR)/dist. The desktop program is
# configured in as well once Qt for Windows is in that cache.
windows-engine:
	@bash scripts/install-cross-deps.sh
	cmake -S . -B $(WIN_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DLEXMORA_SHELL=$$(bash scripts/install-qt-cross.sh --check && echo ON || echo OFF) -DLEXMORA_BENCH=OFF
	nice -n 10 cmake --build $(WIN_DIR) -j $(JOBS) --target lexmora-compare
	cmake --build $(WIN_DIR) --target windows_zip

# Everything for Windows: the engine as above, Qt for Windows (built once, about 40 minutes),
# LexmoraCT.exe, and in $(WIN_DIR)/dist the program's zip and its installer.
windows: windows-engine
	@bash scripts/install-qt-cross.sh
	cmake -S . -B $(WIN_DIR) -DLEXMORA_SHELL=ON
	nice -n 10 cmake --build $(WIN_DIR) -j $(JOBS) --target LexmoraCT
	cmake --build $(WIN_DIR) --target windows_desktop_dist

# The GoogleTest suites cross-built and run under wine, with wine's server started first; then
# lexmora-compare.exe against the Linux build, report for report, on the examples and the corpus,
# and the hostile packages. With Qt for Windows in the cache also the desktop program's QtTest
# suites (in the same ctest run) and its zip and installer on a virtual display; without it that
# part is skipped with a line saying so (make windows builds Qt).
windows-test: windows-engine configure
	nice -n 10 cmake --build $(WIN_DIR) -j $(JOBS)
	. scripts/wine-env.sh && cd $(WIN_DIR) && ctest --output-on-failure -j $(JOBS) --timeout 900
	cmake --build $(BUILD_DIR) -j $(JOBS) --target lexmora-compare
	python3 tests/cli/windows_end_to_end.py $(WIN_DIR)/cli/lexmora-compare.exe $(BUILD_DIR)/cli/lexmora-compare \
	  examples ../shared/corpus
	@if bash scripts/install-qt-cross.sh --check; then \
	  bash scripts/install-qt-cross.sh && cmake --build $(WIN_DIR) --target windows_desktop_dist && \
	  . scripts/wine-env.sh && xvfb-run -a -s "-screen 0 1280x900x24" python3 tests/shell/windows_desktop_smoke.py \
	    $(WIN_DIR)/dist $$(sed -n 's/^project(LexmoraComparisonTool VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt) \
	    $(WIN_DIR)/desktop-window.png; \
	else \
	  echo "Windows desktop program: skipped, Qt for Windows is not built yet (make windows builds it once, about 40 minutes)"; \
	fi

# The engine built as WebAssembly with Debian's emscripten (the dependencies are built once into
# ~/.cache/lexmora-web). Its builds run at low priority: they are long and the machine is shared.
web-configure:
	@bash scripts/install-web-deps.sh
	cmake -S . -B $(WEB_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake -DCMAKE_BUILD_TYPE=Release \
	  -DLEXMORA_BENCH=OFF

# The browser page: one file, $(WEB_DIR)/dist/lexmora.html, that opens from disk.
web: web-configure
	nice -n 15 cmake --build $(WEB_DIR) -j $(JOBS) --target lexmora_page

# The GoogleTest suites of the engine built as WebAssembly and run under node; then the page in
# headless Chromium, opened from disk, against the Linux tool's reports on the examples and the corpus.
web-test: web configure
	nice -n 15 cmake --build $(WEB_DIR) -j $(JOBS)
	cd $(WEB_DIR) && ctest --output-on-failure --timeout 1800
	nice -n 10 cmake --build $(BUILD_DIR) -j $(JOBS) --target lexmora-compare
	node tests/web/page_test.js $(WEB_DIR)/dist/lexmora.html $(BUILD_DIR)/cli/lexmora-compare examples ../shared/corpus

# The Debian package, $(BUILD_DIR)/Lexmora-<version>-amd64.deb, and its check: lintian, AppStream,
# installed with dpkg, the programs and the menu entry there, removed cleanly.
package: build
	cd $(BUILD_DIR) && cpack -G DEB
package-test: package
	bash scripts/check-deb.sh $(BUILD_DIR)/Lexmora-*-amd64.deb

clean:
	rm -rf $(BUILD_DIR) $(SAN_DIR) $(WIN_DIR) $(WEB_DIR)
