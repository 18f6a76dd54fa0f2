#!/usr/bin/env bash
# Installs every Debian package the project builds, tests and benchmarks with.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang clang-format libclang-rt-dev
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-svg-dev libqt6svg6 qt6-l10n-tools
  libgl-dev fonts-noto-cjk
  libcurl4-openssl-dev libpcre2-dev libicu-dev libcpp-httplib-dev libssl-dev
  libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils imagemagick wrk hyperfine curl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo_cmd=(sudo)
  else
    echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
    exit 1
  fi
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
