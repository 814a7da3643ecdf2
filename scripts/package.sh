#!/usr/bin/env bash
# Builds the default preset and the Debian package of startpad, zrtlobby, zrtgame and
# zrtserver with CPack; prints the package's path. Install it with
#   apt install ./build/default/package/zerathon_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)"
out=build/default/package
rm -rf "$out"
cpack --config build/default/CPackConfig.cmake -B "$out"
ls -1 "$out"/*.deb
