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

# The demo's advertising banners: the generated GIFs served by busybox's stock web server on
# loopback, offered in turn by zrtserver's [[banner]] records (the lobby fetches a new one
# every two minutes, so the animated and the still banner take turns).
banner_port=8642
site="$build/banner-site"
mkdir -p "$site"
cp "$game/LobbyRes/demo/banner_anim.gif" "$game/LobbyRes/demo/banner_still.gif" "$site/"
cat > "$site/index.html" <<'HTML'
<!DOCTYPE html>
<html><head><title>Zerathon</title></head>
<body><h1>Zerathon</h1><p>The advertiser's page of the demo banner.</p></body></html>
HTML

pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT
busybox httpd -f -p "127.0.0.1:$banner_port" -h "$site" &
pids+=($!)
echo "demo: banners served on http://127.0.0.1:$banner_port/ (busybox httpd, from $site)"

if [ -x "$build/bin/zrtserver" ]; then
  data="$build/server-data"
  config="$data/zrtserver.toml"
  mkdir -p "$data"
  if [ ! -f "$config" ]; then
    # The server writes its default configuration on its first start.
    "$build/bin/zrtserver" --data "$data" --address 127.0.0.1 &
    first=$!
    for _ in $(seq 50); do [ -f "$config" ] && break; sleep 0.1; done
    kill "$first" 2>/dev/null || true
    wait "$first" 2>/dev/null || true
  fi
  if ! grep -q '^\[\[banner\]\]' "$config"; then
    cat >> "$config" <<TOML

[[banner]]
picture_url = "http://127.0.0.1:$banner_port/banner_anim.gif"
click_url = "http://127.0.0.1:$banner_port/"

[[banner]]
picture_url = "http://127.0.0.1:$banner_port/banner_still.gif"
click_url = "http://127.0.0.1:$banner_port/"
TOML
  fi
  "$build/bin/zrtserver" --data "$data" --address 127.0.0.1 &
  pids+=($!)
  sleep 1
  echo "demo: zrtserver running (data in $data; new passwords land in its outbox/)"
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
