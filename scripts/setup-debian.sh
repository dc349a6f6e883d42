#!/bin/sh
# Installs the Debian 12 packages that building and testing Zolvane need,
# but only those that are missing, so that a prepared machine is left alone.
set -eu

packages="
cmake
ninja-build
g++
pkg-config
qtbase5-dev
qtbase5-private-dev
qttools5-dev
qttools5-dev-tools
qttranslations5-l10n
libqt5dbus5
dbus-daemon
libgs-dev
libqpdf-dev
fonts-liberation
fonts-noto-cjk
ghostscript
xvfb
xauth
xdotool
fonts-noto-cjk
"

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    as_root=""
elif command -v sudo >/dev/null 2>&1; then
    as_root="sudo"
else
    echo "setup: missing packages:$missing (run this script as root, or install sudo)" >&2
    exit 1
fi

echo "setup: installing$missing"
# Another apt run may hold the lock for a while (unattended upgrades, a parallel setup).
lock="-o DPkg::Lock::Timeout=600"
$as_root env DEBIAN_FRONTEND=noninteractive apt-get $lock update -qq
# shellcheck disable=SC2086
$as_root env DEBIAN_FRONTEND=noninteractive apt-get $lock install -y -qq --no-install-recommends $missing
