#!/usr/bin/env bash
# Draws the program's pictures anew into assets/: the splash picture, the splash icon and the
# program icon. They are our own work, made only by scripts/pictures/MakePictures.cpp.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
kiosk_install_packages
cmake -S . -B build-pictures -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-pictures -j2 --target make-pictures
QT_QPA_PLATFORM=offscreen build-pictures/scripts/pictures/make-pictures assets
ls -l assets/splash.jpg assets/splash.ico assets/mainicon.ico
