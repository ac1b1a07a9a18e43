#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test the tool.
set -euo pipefail
packages=(cmake g++ ninja-build pkg-config ccache python3 qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev libgtest-dev libgmock-dev
          libcli11-dev nlohmann-json3-dev libssl-dev scdoc desktop-file-utils appstream dpkg-dev file lld
          libmosquitto-dev mosquitto
          clang-format libsqlite3-dev sqlite3)
if [[ "${1:-}" == "--with-fuzz" ]]; then
    packages+=(clang libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
    exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
