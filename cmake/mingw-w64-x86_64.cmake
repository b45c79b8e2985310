# Cross-builds for 64-bit Windows with Debian's MinGW-w64 compilers and runs what it builds under
# wine. The libraries come from the cache that scripts/install-cross-deps.sh fills; run it first.
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The cache is LEXMORA_CROSS_CACHE (a CMake variable or the environment variable), by default
# ~/.cache/lexmora-cross. The script writes cross-prefixes.cmake there, naming the prefixes of the
# versions it pinned, so a configure never picks up a stale build that still lies in the cache.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model: the win32 one has no std::thread, std::mutex or std::future.
set(LEXMORA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LEXMORA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LEXMORA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${LEXMORA_MINGW_TRIPLET}-windres)

include(${CMAKE_CURRENT_LIST_DIR}/dependency-cache.cmake)
# Sets LEXMORA_CROSS_PREFIXES and LEXMORA_ICU_DATA_FILE.
lexmora_dependency_cache(LEXMORA_CROSS_CACHE lexmora-cross cross-prefixes.cmake LEXMORA_CROSS_PREFIXES)

# Qt for Windows, when scripts/install-qt-cross.sh has built it: the desktop program then builds
# too. Debian's native Qt of the same version gives the host tools (moc, rcc, uic).
include("${LEXMORA_CROSS_CACHE}/qt-prefix.cmake" OPTIONAL)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES LEXMORA_QT_PREFIX)
if(LEXMORA_QT_PREFIX AND EXISTS "${LEXMORA_QT_PREFIX}")
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
else()
  set(LEXMORA_QT_PREFIX "")
endif()

set(LEXMORA_MINGW_SYSROOT /usr/${LEXMORA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH ${LEXMORA_CROSS_PREFIXES} ${LEXMORA_QT_PREFIX} ${LEXMORA_MINGW_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Import libraries (.dll.a) would make the program need DLLs beside it, and mixed with -static
# they define winpthread twice. CMake's Windows-GNU platform file puts .dll.a first after this file
# is read, so the suffixes are set in a rules override, which is read later still.
set(CMAKE_USER_MAKE_RULES_OVERRIDE "${CMAKE_CURRENT_LIST_DIR}/mingw-w64-static-libraries.cmake")

lexmora_pkg_config_only(${LEXMORA_CROSS_PREFIXES} ${LEXMORA_MINGW_SYSROOT})

# One self-contained .exe: no libgcc, libstdc++ or winpthread DLL to ship beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# wine64 itself: Debian's wine wrapper warns on every run when the 32-bit half is missing. The
# settings are those of scripts/wine-env.sh, which starts the server that keeps each run short.
find_program(LEXMORA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(LEXMORA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR env "WINEPREFIX=${LEXMORA_CROSS_CACHE}/wine" WINEDEBUG=-all
                                    "WINEDLLOVERRIDES=mscoree,mshtml=" LC_ALL=C.UTF-8 "${LEXMORA_WINE}")
endif()
