#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when they are missing.
# Idempotent and non-interactive; runs apt-get update at most once.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools fonts-liberation
  libjpeg62-turbo-dev libasio-dev libcurl4-openssl-dev libsqlite3-dev
  libtomlplusplus-dev libsodium-dev libpq-dev postgresql-15 util-linux
  libgtest-dev libgmock-dev googletest libbenchmark-dev libgif-dev libenet-dev
  imagemagick clang clang-format libclang-rt-14-dev
  xvfb xauth iproute2 busybox
  dpkg-dev file lintian desktop-file-utils systemd
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "deps: all ${#packages[@]} packages present"
  exit 0
fi

echo "deps: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
