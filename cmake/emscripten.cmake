# Builds the engine as WebAssembly with Debian's emscripten and runs what it builds under node.
# The libraries come from the cache that scripts/install-web-deps.sh fills; run it first.
#
#   cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake
#
# The cache is LEXMORA_WEB_CACHE (a CMake variable or the environment variable), by default
# ~/.cache/lexmora-web. The script writes web-prefixes.cmake there, naming the prefixes of the
# versions it pinned.

# Debian's emscripten finds node's modules (acorn, for its JavaScript optimiser) only through
# NODE_PATH; without it every link fails. Set for configuring here, for building by the launcher.
set(ENV{NODE_PATH} /usr/share/nodejs)
set(CMAKE_C_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

include(${CMAKE_CURRENT_LIST_DIR}/dependency-cache.cmake)
# Sets LEXMORA_WEB_PREFIXES and LEXMORA_ICU_DATA_FILE.
lexmora_dependency_cache(LEXMORA_WEB_CACHE lexmora-web web-prefixes.cmake LEXMORA_WEB_PREFIXES)
list(APPEND CMAKE_FIND_ROOT_PATH ${LEXMORA_WEB_PREFIXES})

lexmora_pkg_config_only(${LEXMORA_WEB_PREFIXES})

# The engine reports failures as exceptions; emscripten catches none unless told to.
set(CMAKE_CXX_FLAGS_INIT "-fexceptions")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fexceptions")

# With node's fetch on, emscripten's loader fetches the .wasm file rather than reading it, and fails.
find_program(LEXMORA_NODE NAMES nodejs node NO_CMAKE_FIND_ROOT_PATH)
set(CMAKE_CROSSCOMPILING_EMULATOR "${LEXMORA_NODE};--no-experimental-fetch" CACHE STRING "" FORCE)
