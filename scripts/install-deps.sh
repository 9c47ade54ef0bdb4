#!/usr/bin/env bash
# Installs the Debian 12 packages this project needs to build, test and run, only those that are
# missing, without prompting. Runs as root, or through sudo when there is one.
# --fuzz: also clang and its libFuzzer runtime, for `make fuzz`.
# --windows: also the mingw-w64 cross compiler and wine, for `make core-windows`.
set -euo pipefail

packages=(
  g++ make cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev
  # the display check asks the X library itself
  libxcb1-dev
  libgtest-dev
  fonts-ipafont-gothic
  # a network serial server: the tests start their own on loopback ports
  ser2net
  # the Debian package: manual pages, its build and its checks
  help2man groff-base dpkg-dev file desktop-file-utils appstream lintian
  # the user unit's check (systemd-analyze)
  systemd
  # ss: the PJLink test reads which address the face listens on
  iproute2
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi
if [ "${1:-}" = "--windows" ]; then
  # wine64 alone runs a 64-bit program; the wine package would also pull in the 32-bit half.
  packages+=(g++-mingw-w64-x86-64-posix wine64)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: run as root to install: ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
# Debian starts ser2net as a service with its sample configuration (localhost ports 2000 and up);
# the tests need none of it, so a service this script brought is stopped and left disabled.
if [[ " ${missing[*]} " == *" ser2net "* ]] && command -v systemctl >/dev/null && [ -d /run/systemd/system ]; then
  $sudo systemctl disable --now ser2net.service >/dev/null 2>&1 || true
fi
