#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and web-ext from
# npm for the extension's lint; does nothing when all are present already.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache clang libclang-rt-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins fonts-dejavu-core
  libgtest-dev libgmock-dev libcurl4-openssl-dev libssl-dev
  xvfb xdotool xclip x11-utils imagemagick desktop-file-utils
  nginx-light lighttpd curl aria2 axel iproute2 util-linux time procps openssl python3 bc
  fuse3 python3-fusepy
  chromium firefox-esr openbox nodejs
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  # The packaged web servers must not keep the machine's port 80 for themselves.
  for s in nginx lighttpd; do
    if command -v service >/dev/null 2>&1; then $sudo service "$s" stop >/dev/null 2>&1 || true; fi
  done
fi

# Mozilla's linter for the browser extension, kept in build/web-ext (about
# 20 s once); it needs Node 20. Without it the extension test fails.
web_ext="$(dirname "$0")/../build/web-ext"
node_major=$(node -p 'process.versions.node.split(".")[0]' 2>/dev/null || echo 0)
if [ ! -x "$web_ext/node_modules/.bin/web-ext" ] && [ "$node_major" -ge 20 ] &&
  command -v npm >/dev/null 2>&1; then
  npm install --prefix "$web_ext" --no-audit --no-fund --silent web-ext@10 >/dev/null ||
    echo "web-ext could not be installed: the extension test will fail"
fi
