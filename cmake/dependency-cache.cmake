# Shared by the toolchain files whose libraries a script of scripts/ builds into a cache.

# Sets AVariable to the cache folder: the CMake variable of that name, else the environment variable,
# else ~/.cache/ADefault. Then, unless APrefixes is defined (the script passes its own while it
# builds the libraries themselves), reads the file AFile the script wrote there, naming the
# prefixes of the versions it pinned, so a configure never picks up a stale build in the cache.
macro(lexmora_dependency_cache AVariable ADefault AFile APrefixes)
  if(NOT ${AVariable})
    if(DEFINED ENV{${AVariable}})
      set(${AVariable} "$ENV{${AVariable}}")
    else()
      set(${AVariable} "$ENV{HOME}/.cache/${ADefault}")
    endif()
  endif()
  # try_compile projects read the toolchain file again and need the same answers.
  list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ${AVariable} ${APrefixes})
  if(NOT DEFINED ${APrefixes})
    include("${${AVariable}}/${AFile}" OPTIONAL)
  endif()
endmacro()

# Makes pkg-config see only the .pc files below the prefixes given, never the native ones.
function(lexmora_pkg_config_only)
  set(Dirs "")
  foreach(Prefix IN LISTS ARGN)
    list(APPEND Dirs "${Prefix}/lib/pkgconfig")
  endforeach()
  string(REPLACE ";" ":" Dirs "${Dirs}")
  set(ENV{PKG_CONFIG_LIBDIR} "${Dirs}")
  set(ENV{PKG_CONFIG_PATH} "")
endfunction()
