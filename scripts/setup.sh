#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and benchmarks with:
#   scripts/setup.sh        what building, running and the test suites need
#   scripts/setup.sh fuzz   that and the clang toolchain of the fuzz targets
# Idempotent: apt-get runs only when something is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libsqlite3-dev
  libboost-filesystem-dev libboost-system-dev libboost-thread-dev
  libboost-chrono-dev libboost-date-time-dev
  librapidxml-dev
  googletest libgtest-dev
  libwxgtk3.2-dev
  xvfb xauth fonts-dejavu-core libx11-dev
  rsync
)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang-14 libfuzzer-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
