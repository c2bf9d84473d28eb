#!/usr/bin/env bash
# Installs what the build, the tests and the programs need on Debian 12, only when missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsqlcipher-dev sqlcipher libssl-dev
  libcairo2-dev libpango1.0-dev libsdl2-dev liblitehtml-dev libstb-dev
  xvfb xauth x11-apps xclip fonts-dejavu-core fonts-dejavu-extra
  clang libclang-rt-14-dev locales poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
