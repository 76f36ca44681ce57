#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need.
# Checks first, so a second run is quiet and fast.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libopenblas-dev liblapack-dev libblas-dev liblapacke-dev
  libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev libeigen3-dev
  clang libclang-rt-14-dev valgrind
  libscalapack-openmpi-dev openmpi-bin libopenmpi-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
