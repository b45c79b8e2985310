# Builds the engine as WebAssembly with Debian's emscripten and runs what it builds under node.
# The libraries come from the cache that scripts/install-web-deps.sh fills; run it first.
#
#   cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake
#
# The cache is LEXMORA_WEB_CACHE (a CMake variable or the environment variable), by default
# ~/.cache/lexmora-web. The script writes web-prefixes.cmake there, naming the prefixes of the
# versions it pinned.

# Debian's emscripten finds node's modules (acorn, for its JavaScript optimiser) only through
# NODE_PATH; without it every link fails.
set(ENV{NODE_PATH} /usr/share/nodejs)
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

if(NOT LEXMORA_WEB_CACHE)
  if(DEFINED ENV{LEXMORA_WEB_CACHE})
    set(LEXMORA_WEB_CACHE "$ENV{LEXMORA_WEB_CACHE}")
  else()
    set(LEXMORA_WEB_CACHE "$ENV{HOME}/.cache/lexmora-web")
  endif()
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LEXMORA_WEB_CACHE LEXMORA_WEB_PREFIXES)

# Sets LEXMORA_WEB_PREFIXES and LEXMORA_ICU_DATA_FILE, unless the prefixes are passed in (the
# script passes its own while it builds the libraries themselves).
if(NOT DEFINED LEXMORA_WEB_PREFIXES)
  include("${LEXMORA_WEB_CACHE}/web-prefixes.cmake" OPTIONAL)
endif()
list(APPEND CMAKE_FIND_ROOT_PATH ${LEXMORA_WEB_PREFIXES})

# pkg-config must see only the WebAssembly builds, never the native .pc files.
set(LEXMORA_PKG_CONFIG_DIRS "")
foreach(Prefix IN LISTS LEXMORA_WEB_PREFIXES)
  list(APPEND LEXMORA_PKG_CONFIG_DIRS "${Prefix}/lib/pkgconfig")
endforeach()
string(REPLACE ";" ":" LEXMORA_PKG_CONFIG_DIRS "${LEXMORA_PKG_CONFIG_DIRS}")
set(ENV{PKG_CONFIG_LIBDIR} "${LEXMORA_PKG_CONFIG_DIRS}")
set(ENV{PKG_CONFIG_PATH} "")
# pkg-config would put the cache's paths under the sysroot.
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# The engine reports failures as exceptions; emscripten catches none unless told to.
set(CMAKE_CXX_FLAGS_INIT "-fexceptions")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fexceptions")

# Node's experimental fetch makes emscripten's loader take the .wasm file for a URL.
find_program(LEXMORA_NODE NAMES nodejs node NO_CMAKE_FIND_ROOT_PATH)
set(CMAKE_CROSSCOMPILING_EMULATOR "${LEXMORA_NODE};--no-experimental-fetch" CACHE STRING "" FORCE)
