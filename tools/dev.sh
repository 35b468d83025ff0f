#!/usr/bin/env bash
# Installs what Vernalith needs from Debian 12, builds it, then starts the designer ("run") or
# runs the whole test suite ("test"). Safe to run again: installed packages are not reinstalled.
#
#   tools/dev.sh run    build and start the designer
#   tools/dev.sh test   build and run every test
set -euo pipefail

mode=${1:-}
case "$mode" in
    run|test) ;;
    *) echo "usage: tools/dev.sh run|test" >&2; exit 2 ;;
esac

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VERNALITH_BUILD_DIR:-$here/build}

build_packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev
                fonts-dejavu-core libbenchmark-dev dpkg-dev libcups2-dev libcups2 qt6-image-formats-plugins)
test_packages=(poppler-utils python3-ezdxf cups printer-driver-cups-pdf desktop-file-utils shared-mime-info libxml2-utils)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

if [ "$mode" = test ]; then
    install_missing "${build_packages[@]}" "${test_packages[@]}"
else
    install_missing "${build_packages[@]}"
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERNALITH_WERROR=ON \
      -DBUILD_TESTING="$([ "$mode" = test ] && echo ON || echo OFF)" >/dev/null
cmake --build "$build" -j"$(nproc)"

if [ "$mode" = run ]; then
    exec "$build/src/app/vernalith"
fi
if [ "$(id -u)" -ne 0 ]; then
    # The printing test starts a print server of its own and runs itself through sudo:
    # ask for the password now, not halfway through the tests.
    echo "The printing test needs root for a print server of its own; sudo may ask for your password."
    sudo -v || echo "Without sudo the printing test (test_print_cups) will fail." >&2
fi
ctest --test-dir "$build" --output-on-failure -j1
