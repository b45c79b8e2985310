#!/usr/bin/env bash
# Prepares wine for many short runs of Windows test programs, in a prefix of the project's own
# (${LEXMORA_CROSS_CACHE:-~/.cache/lexmora-cross}/wine, never ~/.wine): starts a persistent wine
# server and boots the prefix once, so that each run starts in a fraction of a second instead of
# several seconds (a wine run without a server starts one and waits for it to wind down).
# Run it, or source it to also get WINEPREFIX, WINEDEBUG and a UTF-8 locale in the shell; without
# a UTF-8 locale wine cannot create files with non-ASCII names. Harmless to repeat.
# cmake/mingw-w64-x86_64.cmake runs programs with the same prefix and settings.

LexmoraWineEnv() {
  local cache="${LEXMORA_CROSS_CACHE:-$HOME/.cache/lexmora-cross}"
  export WINEPREFIX="$cache/wine"
  export WINEDEBUG=-all
  # No Mono or Gecko: their installers would ask in a window.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LC_ALL=C.UTF-8
  local wine=/usr/lib/wine/wine64
  [ -x "$wine" ] || wine=wine
  mkdir -p "$cache"
  # A second persistent server for the same prefix exits at once, so this is safe to repeat.
  setsid wineserver -p </dev/null >/dev/null 2>&1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # The first boot creates the prefix; runs started before it ends would each wait for it.
    "$wine" wineboot --init </dev/null >/dev/null 2>&1
  else
    setsid "$wine" wineboot </dev/null >/dev/null 2>&1 &
  fi
}

LexmoraWineEnv
