# Read by cmake/mingw-w64-x86_64.cmake after CMake's Windows platform files: find only static
# libraries, so find_library, find_package and pkg_check_modules never pick an import library.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
