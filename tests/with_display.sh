#!/bin/sh
# Runs a program that opens windows: inside a fresh virtual X server when xvfb-run is there,
# otherwise on SDL's offscreen driver (OpenGL through EGL, no X server). A program built with
# AddressSanitizer gets Mesa's driver preloaded (display_preload.sh says why).
preload=$("$(dirname "$0")/display_preload.sh" "$1")
if [ -n "$preload" ]; then
  set -- env "LD_PRELOAD=$preload" "$@"
fi
if command -v xvfb-run >/dev/null 2>&1; then
  # Servers started at the same moment (tests run side by side) would race for the first free
  # display number; each starts its search at a number of its own.
  exec xvfb-run -a -n $(( $$ % 400 + 100 )) -s "-screen 0 1024x768x24" "$@"
fi
export SDL_VIDEODRIVER=offscreen
exec "$@"
