#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need (Debian 12).
set -euo pipefail

packages=(g++ make cmake ninja-build qt6-base-dev qt6-multimedia-dev qt6-webengine-dev qt6-tools-dev
          qt6-documentation-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good
          gstreamer1.0-libav gstreamer1.0-alsa gstreamer1.0-pulseaudio zlib1g-dev libtag1-dev
          libgtest-dev shared-mime-info clang libclang-rt-14-dev libqt6svg6
          python3-mutagen desktop-file-utils appstream lintian dpkg-dev
          sox vorbis-tools opus-tools gstreamer1.0-tools atomicparsley)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

line="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "These packages are missing: ${missing[*]}" >&2
  echo "Install them as root with:" >&2
  echo "  $line" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
