#!/bin/sh
# Pictures of every dialog and window of the program for the manual: the
# window test opens them in the real window under Xvfb and openbox on a
# 1280x1024 screen and saves each one into the build tree; this script
# copies them, with the measured sizes, to docs/dialogs/.
#   scripts/dialog-screenshots.sh [BUILD_DIR]   (default build-test)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-test}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORBY_SANITIZE=ON >/dev/null
fi
cmake --build "$build" --target quorby test_gui
rm -rf "$build/dialog-shots"
(cd "$build" && ASAN_OPTIONS=detect_leaks=0 ./tests/test_gui \
    --gtest_filter='DialogGeometry.EveryDialogLiesOnALargeScreenClearOfTheMenuBar')
mkdir -p "$root/docs/dialogs"
rm -f "$root/docs/dialogs/"*.png
cp "$build/dialog-shots/"*.png "$build/dialog-shots/sizes.txt" "$root/docs/dialogs/"
echo "docs/dialogs: $(ls "$root/docs/dialogs/"*.png | wc -l) pictures"
