#!/usr/bin/env bash
# Installs what is missing, builds, assembles the game folder, starts the local reference
# server and runs zrtlobby in the game folder. With a display (DISPLAY set) the lobby opens a
# real window; without one it runs offscreen for a while and saves a PNG of every screen it
# reaches under build/default/screenshots/demo.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/deps.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)"

build="$root/build/default"
game="$build/gamefolder"
export XDG_CONFIG_HOME="$build/xdg"

server_pid=""
if [ -x "$build/bin/zrtserver" ]; then
  mkdir -p "$build/server-data"
  "$build/bin/zrtserver" --data "$build/server-data" --address 127.0.0.1 &
  server_pid=$!
  trap '[ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true' EXIT
  sleep 1
  echo "demo: zrtserver running (data in $build/server-data; new passwords land in its outbox/)"
fi

cd "$game"
if [ -n "${DISPLAY:-}" ]; then
  "$build/bin/zrtlobby"
else
  shots="$build/screenshots/demo"
  rm -rf "$shots"
  mkdir -p "$shots"
  echo "demo: no display; running offscreen for 8 s, screenshots in $shots"
  QT_QPA_PLATFORM=offscreen ZRT_SCREENSHOT_DIR="$shots" ZRT_AUTOQUIT_MS=8000 "$build/bin/zrtlobby"
  ls -1 "$shots"
fi
