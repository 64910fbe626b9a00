#!/usr/bin/env bash
# Installs the Debian packages the project needs. Idempotent, non-interactive, and silent when
# everything is already there.
set -euo pipefail

packages=(
  g++ make cmake pkg-config
  libgtest-dev libgmock-dev googletest
  libbenchmark-dev
  libcurl4-openssl-dev libcpp-httplib-dev libssl-dev ca-certificates
  libpng-dev libjpeg-dev
  qt6-base-dev fonts-liberation2 xvfb xauth
  desktop-file-utils libxcb1-dev
  # run-demo.sh without a display (tray host, screenshot, window queries), bench/desktop_cost.sh,
  # the desktop test tests/e2e/desktop_e2e.sh
  trayer imagemagick x11-utils xdotool libx11-dev
  # tests/e2e/announce_e2e.sh and the watcher's notification test: a private session bus for
  # the stand-in notification service
  dbus-daemon dbus-bin
  # the Debian package and its test tests/package/check_package.sh
  dpkg-dev lintian appstream file groff-base
  # the clang leg of CI and scripts/lint.sh
  clang clang-tidy clang-format
)

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
