#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own, or of
# another folder of the same layer. Layers, bottom to top:
#    0  core/                 positions, keys, tables, command codes, settings record
#    1  platform/*.h          the window-system and file ports
#       resources/            menus, accelerators, dialog control numbers
#    2  journal/ decoder/     the Journal File engine, the x86 decoder
#       salvage/              reads past unreadable sectors
#       platform/posix/ platform/headless/   files and devices, the in-memory window
#    3  search/               the search engine (patterns, block scan, journal overlay)
#       avi/                  the RIFF/AVI engine (chunk stepper, structure walk, index checks)
#    4  state/                the application state and the services over it
#    5  view/                 drawing the grid, status cells, scroll bar, font
#    6  document/             the Main File and its Journal File as operations: page
#                             reads, page pairs, storing pages; no dialogs (only the
#                             questions of write access, asked in the middle of a store)
#    7  navigate/             moving the view, cursor, selection, mouse, wheel,
#                             version review (F2/F4), the Main File's own bytes (F5)
#    8  edit/ find/ compare/ disasm/   the commands that change, find, compare and list
#       inspect/ options/     the value inspector, the Pointers dialog, the Options dialog
#       avimenu/              the AVI menu: chunk navigation, the check, its report window and log
#    9  filemenu/             the File menu: open, close, drives, last files, Journal File
#                             commands (closing offers edit/'s "Save &File")
#   10  app/                  start-up, command table, window events
#   11  batch/ platform/qt/   the batch language and the Qt window
# app/main.cpp wires the program together and may include anything.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

layer_of() {
    case "$1" in
        core/*) echo 0 ;;
        platform/posix/*|platform/headless/*) echo 2 ;;
        platform/qt/*) echo 11 ;;
        platform/*|resources/*) echo 1 ;;
        journal/*|decoder/*|salvage/*) echo 2 ;;
        search/*|avi/*) echo 3 ;;
        state/*) echo 4 ;;
        view/*) echo 5 ;;
        document/*) echo 6 ;;
        navigate/*) echo 7 ;;
        edit/*|find/*|compare/*|disasm/*|inspect/*|options/*|avimenu/*) echo 8 ;;
        filemenu/*) echo 9 ;;
        app/*) echo 10 ;;
        batch/*) echo 11 ;;
        *) echo -1 ;;
    esac
}

folder_of() {
    case "$1" in
        platform/posix/*|platform/headless/*|platform/qt/*) echo "${1%/*}" ;;
        platform/*) echo platform ;;
        *) echo "${1%%/*}" ;;
    esac
}

failures=0
checked=0
while IFS= read -r file; do
    [ "$file" = app/main.cpp ] && continue
    from_layer=$(layer_of "$file")
    [ "$from_layer" -lt 0 ] && continue
    from_folder=$(folder_of "$file")
    while IFS= read -r target; do
        checked=$((checked + 1))
        to_folder=$(folder_of "$target")
        [ "$to_folder" = "$from_folder" ] && continue
        to_layer=$(layer_of "$target")
        if [ "$to_layer" -lt 0 ]; then
            echo "$file includes $target, which belongs to no layer"
            failures=$((failures + 1))
        elif [ "$to_layer" -ge "$from_layer" ]; then
            echo "$file (layer $from_layer, $from_folder/) includes $target (layer $to_layer, $to_folder/)"
            failures=$((failures + 1))
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find core state journal decoder search avi resources view document navigate edit find compare disasm inspect options avimenu filemenu app batch platform \
              -name '*.cpp' -o -name '*.h' 2>/dev/null | sort)

if [ "$failures" -ne 0 ]; then
    echo "$failures include(s) point up or sideways"
    exit 1
fi
echo "layers: $checked includes checked, all point down"
