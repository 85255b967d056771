#!/bin/sh
# Prints what to preload for a program that opens windows: nothing for a plain build; for one
# built with AddressSanitizer, the sanitizer's runtime (first, as it must be) and Mesa's driver.
# Preloaded libraries are never unloaded, so LeakSanitizer can still name the library behind what
# the driver keeps until exit.
asan=$(ldd "$1" 2>/dev/null | awk '/libasan/ { print $3 }')
[ -n "$asan" ] || exit 0
preload="$asan"
for lib in /usr/lib/*/dri/swrast_dri.so /usr/lib/*/libGLX_mesa.so.0 /usr/lib/*/libGL.so.1; do
  [ -e "$lib" ] && preload="$preload $lib"
done
echo "$preload"
