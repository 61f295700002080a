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
#       checksum/             digests of a range of the content (CRC32, MD5, SHA1, SHA256, SHA512)
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

# One awk pass over every file: forking a shell per include took longer than
# the rest of the test suite's quick checks together.
find core state journal decoder salvage search avi checksum resources view document navigate edit find compare disasm inspect options avimenu filemenu app batch platform \
     \( -name '*.cpp' -o -name '*.h' \) -print 2>/dev/null | sort | xargs awk '
function layer_of(p) {
    if (p ~ /^core\//) return 0
    if (p ~ /^platform\/(posix|headless)\//) return 2
    if (p ~ /^platform\/qt\//) return 11
    if (p ~ /^(platform|resources)\//) return 1
    if (p ~ /^(journal|decoder|salvage)\//) return 2
    if (p ~ /^(search|avi|checksum)\//) return 3
    if (p ~ /^state\//) return 4
    if (p ~ /^view\//) return 5
    if (p ~ /^document\//) return 6
    if (p ~ /^navigate\//) return 7
    if (p ~ /^(edit|find|compare|disasm|inspect|options|avimenu)\//) return 8
    if (p ~ /^filemenu\//) return 9
    if (p ~ /^app\//) return 10
    if (p ~ /^batch\//) return 11
    return -1
}
function folder_of(p,   f) {
    if (p ~ /^platform\/(posix|headless|qt)\//) { f = p; sub(/\/[^\/]*$/, "", f); return f }
    if (p ~ /^platform\//) return "platform"
    f = p; sub(/\/.*$/, "", f); return f
}
FILENAME == "app/main.cpp" { nextfile }
FNR == 1 { from_layer = layer_of(FILENAME); from_folder = folder_of(FILENAME) }
from_layer < 0 { nextfile }
/^[[:space:]]*#[[:space:]]*include[[:space:]]*"/ {
    target = $0
    sub(/^[^"]*"/, "", target); sub(/".*$/, "", target)
    checked++
    to_folder = folder_of(target)
    if (to_folder == from_folder) next
    to_layer = layer_of(target)
    if (to_layer < 0) {
        print FILENAME " includes " target ", which belongs to no layer"; failures++
    } else if (to_layer >= from_layer) {
        print FILENAME " (layer " from_layer ", " from_folder "/) includes " target " (layer " to_layer ", " to_folder "/)"; failures++
    }
}
END {
    if (failures) { print failures " include(s) point up or sideways"; exit 1 }
    print "layers: " checked " includes checked, all point down"
}'
