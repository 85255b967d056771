#!/bin/sh
# Runs a program that opens windows: inside a fresh virtual X server when xvfb-run is there,
# otherwise on SDL's offscreen driver (OpenGL through EGL, no X server).
#
# A program built with AddressSanitizer gets Mesa's driver preloaded: preloaded libraries are never
# unloaded, so LeakSanitizer can still name the library behind what the driver keeps until exit
# (the sanitizer's runtime stays first, as it must).
program="$1"
preload=""
asan=$(ldd "$program" 2>/dev/null | awk '/libasan/ { print $3 }')
if [ -n "$asan" ]; then
  preload="$asan"
  for lib in /usr/lib/*/dri/swrast_dri.so /usr/lib/*/libGLX_mesa.so.0 /usr/lib/*/libGL.so.1; do
    [ -e "$lib" ] && preload="$preload $lib"
  done
fi
if [ -n "$preload" ]; then
  set -- env "LD_PRELOAD=$preload" "$@"
fi
if command -v xvfb-run >/dev/null 2>&1; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$@"
fi
export SDL_VIDEODRIVER=offscreen
exec "$@"
