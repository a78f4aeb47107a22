#!/bin/sh
# Installs the Debian packages a target needs; only the missing ones.
#   install-deps.sh [run|test|package|fuzz]   (default: run)
# run: building and running Tessival and its demo; test: that and the test tools; package: that and
# the Debian packaging tools; fuzz: that and clang with libFuzzer.
set -e
TARGET="${1:-run}"

BUILD_PACKAGES="cmake ninja-build g++ pkg-config make ccache
qt6-base-dev qt6-svg-dev
libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libvorbis-dev
libcdio-dev libcdio-paranoia-dev libdiscid-dev zlib1g-dev libcurl4-openssl-dev
libpulse-dev libebur128-dev
libgtest-dev"
RUN_PACKAGES="ffmpeg sox libsox-fmt-all
fonts-wqy-microhei fonts-dejavu-core"
TEST_PACKAGES="googletest python3-mutagen
xvfb xauth imagemagick x11-apps
cd-paranoia libcdio-utils flac vorbis-tools
pulseaudio pulseaudio-utils loudgain
parallel slurm-wlm munge
desktop-file-utils appstream man-db bash-completion dpkg-dev file
fonts-dejavu-extra"
PACKAGE_PACKAGES="dpkg-dev file lintian fakeroot devscripts"
FUZZ_PACKAGES="clang libclang-rt-14-dev"

case "$TARGET" in
    run) PACKAGES="$BUILD_PACKAGES $RUN_PACKAGES" ;;
    test) PACKAGES="$BUILD_PACKAGES $RUN_PACKAGES $TEST_PACKAGES" ;;
    package) PACKAGES="$BUILD_PACKAGES $RUN_PACKAGES $PACKAGE_PACKAGES" ;;
    fuzz) PACKAGES="$BUILD_PACKAGES $RUN_PACKAGES $FUZZ_PACKAGES" ;;
    *) echo "usage: $0 [run|test|package|fuzz]" >&2; exit 2 ;;
esac

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing missing packages:$missing"
# Root needs no sudo (containers often have none); anyone else does.
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "These packages are missing:$missing" >&2
        echo "Install them as root (sudo is not installed): apt-get install$missing" >&2
        exit 1
    fi
    SUDO="sudo"
fi
# Wait up to five minutes for another apt or an unattended upgrade to release the dpkg lock.
APT_OPTIONS="-o DPkg::Lock::Timeout=300"
$SUDO apt-get $APT_OPTIONS update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get $APT_OPTIONS install -y -qq --no-install-recommends $missing
