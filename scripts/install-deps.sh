#!/bin/sh
# Installs the Debian packages Tessival needs to build, test and run; only the missing ones.
set -e
PACKAGES="cmake ninja-build g++ pkg-config make ccache
qt6-base-dev
libavformat-dev libavcodec-dev libavutil-dev libswresample-dev
libcdio-dev libcdio-paranoia-dev libdiscid-dev zlib1g-dev libcurl4-openssl-dev
libpulse-dev
libgtest-dev googletest
ffmpeg sox libsox-fmt-all xvfb xauth imagemagick x11-apps
clang libclang-rt-14-dev
cd-paranoia libcdio-utils flac
pulseaudio pulseaudio-utils
parallel
desktop-file-utils appstream man-db bash-completion dpkg-dev file qt6-svg-dev
fonts-wqy-microhei fonts-dejavu-core fonts-dejavu-extra"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing missing packages:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
