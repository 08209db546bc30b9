#!/usr/bin/env bash
# Installs every Debian package needed to build, run, test and benchmark dromlet.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build ccache pkg-config git clang libclang-rt-14-dev
  # Qt 6
  qt6-base-dev qt6-base-dev-tools libgl-dev libqt6opengl6-dev qt6-charts-dev
  # engine libraries
  libpugixml-dev libexpat1-dev libacl1-dev libgsf-1-dev libglib2.0-dev
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  hyperfine ncdu gdu time util-linux acl attr python3
  # windows without a display, screenshots, locales for formatting tests
  xvfb xauth locales fonts-dejavu-core
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Locales used by the formatting tests (English and German number formats).
if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$' || ! locale -a 2>/dev/null | grep -qi '^en_US.utf8$'; then
  for l in "en_US.UTF-8 UTF-8" "de_DE.UTF-8 UTF-8"; do
    grep -qxF "$l" /etc/locale.gen 2>/dev/null || echo "$l" | $SUDO tee -a /etc/locale.gen >/dev/null
  done
  $SUDO locale-gen >/dev/null
fi
