#include "batch/batch_grammar.h"

#include <algorithm>

#include "batch/batch_arguments.h"
#include "checksum/digest_set.h"
#include "core/command_codes.h"
#include "platform/headless/script_words.h"

namespace quorby {

namespace {

using V = BatchVerb;
using S = HelpSection;
constexpr unsigned kAny = kAnyWordCount;

// print checksums [ALGORITHM]: the algorithm's bit in numbers[0], all without one.
int parseChecksumAlgorithm(const FormInput& in, BatchCommand* cmd, std::string* error) {
    cmd->numbers[0] = kAllChecksums;
    if (in.words.size() < 3) return 0;
    const unsigned bit = checksumAlgorithmOfWord(in.words[2]);
    if (bit == 0) {
        *error = "unknown checksum " + in.words[2] + " (crc32, md5, sha1, sha256 or sha512)";
        return 1;
    }
    cmd->numbers[0] = bit;
    return 0;
}

// In --help order. The text of a form starts in column 32, so its lines hold
// at most 56 characters.
const std::vector<BatchForm> kForms = {
    // ---- actions -------------------------------------------------------------
    {"open", nullptr, 1, "open PATH [readonly]", V::Open, 2, 3, parseOpenArguments, 0, S::Actions,
     "\"&Open\" with the file dialog answered"},
    {"drive", nullptr, 1, "drive DEVICE [readonly]", V::Drive, 2, 3, parseOpenArguments, 0, S::Actions,
     "\"Open &Drive\" with the drive DEVICE (/dev/loop0) chosen"},
    {"command", nullptr, 1, "command CODE|\"MENU TEXT\"", V::Command, 2, 2, parseCommandArgument, 0, S::Actions,
     "a menu command by its code (command {SaveFileCode}) or by\n"
     "its exact text (command \"Save &File\")"},
    {"key", nullptr, 1, "key KEYS", V::Key, 2, kAny, parseKeyArguments, 0, S::Actions,
     "key strokes: down, typed character (unless an accelerator\n"
     "took the key), up. KEYS: Ctrl+Z F9 Shift+Right PageDown\n"
     "Ctrl+Alt+Down A 5 Escape Enter; KEY*N repeats a key"},
    {"hold", nullptr, 1, "hold KEY", V::Hold, 2, 2, parseKeyArguments, 0, S::Actions,
     "key down without key up (F5, F6 act while held)"},
    {"release", nullptr, 1, "release", V::Release, 1, 1, nullptr, 0, S::Actions, "key up of the held key"},
    {"type", nullptr, 1, "type TEXT", V::Type, 2, kAny, parseTypeArgument, 0, S::Actions,
     "one typed character per byte of TEXT (rest of the line,\n"
     "C escapes: \\e ESC, \\r Enter, \\b Backspace, \\xHH)"},
    {"click", nullptr, 1, "click COL ROW [right|double] [shift|ctrl]", V::Click, 3, 5, parseClickArguments, 0,
     S::Actions, "mouse click at the centre of a cell (columns 0-87, rows 0-33)"},
    {"drag", nullptr, 1, "drag COL ROW COL ROW", V::Drag, 5, 5, parseDragArguments, 0, S::Actions,
     "left button down, move across the cells, up"},
    {"wheel", nullptr, 1, "wheel STEPS [ctrl|shift]", V::Wheel, 2, 3, parseWheelArguments, 0, S::Actions,
     "mouse wheel notches; positive turns the wheel away from\n"
     "the user (towards the file's begin), negative towards"},
    {"scroll", nullptr, 1, "scroll lineup|linedown|pageup|pagedown|top|bottom|track POS|thumb POS", V::Scroll, 2, 3,
     parseScrollArguments, 0, S::Actions, "the vertical scroll bar (thumb = track, then release)"},
    {"resize", nullptr, 1, "resize WIDTH HEIGHT", V::Resize, 3, 3, parseResizeArguments, 0, S::Actions,
     "the user sizes the client area to WIDTH x HEIGHT pixels"},
    {"paint", nullptr, 1, "paint", V::Paint, 1, 1, nullptr, 0, S::Actions, "the window is exposed and painted"},
    {"window", "set", 2, "window WINDOW set LABEL-OR-ID TEXT", V::Window, 5, 5, parseWindowArguments, 0, S::Actions, ""},
    {"window", "check", 2, "window WINDOW check LABEL-OR-ID [on|off]", V::Window, 4, 5, parseWindowArguments, 0,
     S::Actions, ""},
    {"window", "choose", 2, "window WINDOW choose LABEL-OR-ID", V::Window, 4, 4, parseWindowArguments, 0, S::Actions,
     ""},
    {"window", "press", 2, "window WINDOW press LABEL-OR-ID", V::Window, 4, 4, parseWindowArguments, 0, S::Actions, ""},
    {"window", "caret", 2, "window WINDOW caret LISTING-ID LINE", V::Window, 5, 5, parseWindowArguments, 0,
     S::Actions, ""},
    {"window", "close", 2, "window WINDOW close", V::Window, 3, 3, parseWindowArguments, 0, S::Actions,
     "act in an open modeless window, WINDOW = find |\n"
     "disassembly | offset | values | avicheck | avi: type\n"
     "into an edit field and leave it (acting on another\n"
     "control afterwards leaves the field as well),\n"
     "set a check box, choose a radio button, press a\n"
     "button, put the caret of a listing at the start of\n"
     "line LINE (from 1), close the window by its frame.\n"
     "Controls are named as for dialog; hidden and disabled\n"
     "controls cannot be used"},
    {"search", nullptr, 1, "search text|hex PATTERN [up|down] [case] [from-cursor]", V::Search, 3, 6,
     parseSearchArguments, 0, S::Actions,
     "\"Find &Text\" (Ctrl+F) or Ctrl+H, unless the find\n"
     "dialog is open in that mode; then the pattern typed\n"
     "(its bytes as written, \\xHH included), the direction\n"
     "chosen (unchanged when not said),\n"
     "\"Match case\" set on with case and off without (text\n"
     "only), \"From cursor\" likewise with from-cursor (the\n"
     "search starts at the cursor), and \"Find Next\"\n"
     "pressed. Writes SEARCH FOUND 0xPOS, SEARCH NOT FOUND,\n"
     "SEARCH INTERRUPTED or SEARCH NOT RUN (after NOT\n"
     "FOUND, until the dialog opens anew)"},
    {"replace", nullptr, 1, "replace text|hex PATTERN WITH [all] [up|down] [case] [from-cursor]", V::Replace, 4, 8,
     parseReplaceArguments, 0, S::Actions,
     "\"Find and &Replace\" (Ctrl+Shift+H) unless its dialog\n"
     "is open, text or hex chosen, PATTERN and WITH (of the\n"
     "same length, in the same form) typed, the options set\n"
     "as for search, and \"Replace\" pressed (the match the\n"
     "last search found, if the cursor is on it, then the\n"
     "next one is searched: SEARCH ... as for search) or,\n"
     "with all, \"Replace All\" (every match of the\n"
     "selection or of the file, one undo). Writes REPLACED\n"
     "N, REPLACED N INTERRUPTED (ESC: those N stay, one\n"
     "undo), REPLACE REFUSED (nothing replaced: lengths\n"
     "differ, a store declined) or REPLACE NOT RUN (Replace\n"
     "after NOT FOUND)"},
    {"compare", nullptr, 1, "compare PATH", V::Compare, 2, 2, parsePathArgument, 0, S::Actions,
     "\"To other &File\" with PATH chosen in its file dialog"},
    {"clipboard", "text", 1, "clipboard text TEXT", V::Clipboard, 2, kAny, parseClipboardText, 0, S::Actions,
     "puts TEXT on the clipboard as plain text only, as\n"
     "another program would"},
    {"clipboard", "data", 1, "clipboard data HEXBYTES", V::Clipboard, 3, 3, parseClipboardData, 0, S::Actions,
     "puts the bytes on the clipboard in the three forms\n"
     "of \"Copy\""},
    {"clipboard", "clear", 1, "clipboard clear", V::Clipboard, 2, 2, parseClipboardClear, 0, S::Actions,
     "empties the clipboard"},
    {"overview", nullptr, 1, "overview BIN", V::Overview, 2, 2, parseOverviewArgument, 0, S::Actions,
     "a click on the overview strip at bin BIN (0-255): the\n"
     "view jumps to the page where that part of the file\n"
     "starts"},
    {"differences", nullptr, 1, "differences", V::Differences, 1, 1, nullptr, 0, S::Actions,
     "\"Find &Differences\" (Ctrl+U). Writes COMPARE DIFFERENCE\n"
     "0xPOS, COMPARE EOF 0xPOS NAME (no difference, but NAME\n"
     "ends first, at Main File position POS), COMPARE NOT\n"
     "FOUND, COMPARE INTERRUPTED, COMPARE FAILED (a read\n"
     "failed) or COMPARE NOT RUN (no comparison is active)"},
    {"quit", nullptr, 1, "quit", V::Quit, 1, 1, nullptr, 0, S::Actions,
     "\"&Quit\": the exit sequence with its questions"},
    {"close", nullptr, 1, "close", V::Close, 1, 1, nullptr, 0, S::Actions, "the window is closed by its frame"},

    // ---- answers, queued -------------------------------------------------------
    {"answer", nullptr, 1, "answer A [A ...]", V::Answer, 2, kAny, parseAnswerArguments, kQueues, S::Answers,
     "A = yes|no|ok|cancel, optionally +dontask (no+dontask)\n"
     "for message boxes and questions. Without a queued\n"
     "answer a message box takes its default button and a\n"
     "question with \"Don't ask again !\" takes no; the\n"
     "transcript says \"(default)\". An answer that is not one\n"
     "of the box's buttons is a script error."},
    {"file", nullptr, 1, "file PATH|cancel [readonly]", V::File, 2, 3, parseFileArguments, kQueues, S::Answers,
     "the next file dialog (a file named cancel: \"cancel\")"},
    {"popup", nullptr, 1, "popup CODE|\"MENU TEXT\"|cancel", V::Popup, 2, 2, parsePopupArgument, kQueues, S::Answers,
     "the next popup menu (right click)"},
    {"dialog", "set", 1, "dialog set LABEL-OR-ID VALUE", V::DialogSet, 4, 4, parseDialogArguments, kQueues,
     S::Answers, "the next dialog: type VALUE into an edit field"},
    {"dialog", "check", 1, "dialog check LABEL-OR-ID [on|off]", V::DialogCheck, 3, 4, parseDialogArguments, kQueues,
     S::Answers, "set a check box (on when not said)"},
    {"dialog", "choose", 1, "dialog choose LABEL-OR-ID", V::DialogChoose, 3, 3, parseDialogArguments, kQueues,
     S::Answers, "choose a radio button"},
    {"dialog", "press", 1, "dialog press LABEL-OR-ID", V::DialogPress, 3, 3, parseDialogArguments, kQueues,
     S::Answers, "close the dialog with this button; ends the answer"},
    {"dialog", "cancel", 1, "dialog cancel", V::DialogCancel, 2, 2, nullptr, kQueues, S::Answers,
     "close the next dialog with Cancel\n"
     "Controls are named by number or by text (& and a\n"
     "trailing colon ignored, case ignored); a label stands\n"
     "for the edit field after it. A dialog without a queued\n"
     "answer is cancelled; the transcript lists its controls.\n"
     "In a dialog whose controls act while it is open\n"
     "(Options), each action acts at once, and a button that\n"
     "does not close it ends the answer: the next queued\n"
     "answer goes on in the same dialog."},
    {"pending", "key", 1, "pending key KEYS", V::PendingKey, 3, kAny, parseKeyArguments, kQueues, S::Answers, ""},
    {"pending", "type", 1, "pending type TEXT", V::PendingType, 3, kAny, parseTypeArgument, kQueues, S::Answers, ""},
    {"pending", "wait", 1, "pending wait N", V::PendingWait, 3, 3, parsePendingWait, kQueues, S::Answers, ""},
    {"pending", "command", 1, "pending command CODE|\"MENU TEXT\"", V::PendingCommand, 3, 3, parseCommandArgument,
     kQueues, S::Answers, ""},
    {"pending", "window", 1, "pending window WINDOW ...", V::PendingWindow, 3, kAny, parsePendingWindow, kQueues,
     S::Answers,
     "input that arrives while the next command runs a long\n"
     "operation: each poll of the operation takes one event\n"
     "(key down, typed character, key up, command, window\n"
     "action); wait N lets N polls pass without input;\n"
     "pending window acts in a modeless window as window\n"
     "does. Pending input the command does not take is\n"
     "dropped (NOTE line).\n"
     "Example: pending wait 100 / pending key Escape /\n"
     "answer yes / command \"Save &File\""},

    // ---- limit -------------------------------------------------------------------
    {"timeout", nullptr, 1, "timeout SECONDS|off", V::Timeout, 2, 2, parseTimeoutArgument, kQueues, S::Limit,
     "a time limit for each later command: a long operation\n"
     "still running after it gets a typed ESC with yes for\n"
     "its question, and the script fails (none at start)"},

    // ---- output ------------------------------------------------------------------
    {"print", "grid", 1, "print grid", V::PrintGrid, 2, 2, nullptr, kAfterExit, S::Output,
     "rows 0-33: \"07|\" + 88 cells + \"|\"; cells outside\n"
     "0x20-0x7E print as '.'"},
    {"print", "row", 1, "print row N", V::PrintRow, 3, 3, parseRowArgument, kAfterExit, S::Output,
     "one row as in print grid"},
    {"print", "cells", 1, "print cells ROW", V::PrintCells, 3, 3, parseRowArgument, kAfterExit, S::Output,
     "\"07: \" + the 88 character codes as hex pairs"},
    {"print", "colours", 1, "print colours ROW", V::PrintColours, 3, 3, parseRowArgument, kAfterExit, S::Output,
     "\"07: 0-20 DDDDDD,21-70 EEFFEE\": the background of\n"
     "each run of cells as 0xBBGGRR"},
    {"print", "colors", 1, "print colors ROW", V::PrintColours, 3, 3, parseRowArgument, kAfterExit, S::Output,
     nullptr},
    {"print", "state", 1, "print state", V::PrintState, 2, 2, nullptr, kAfterExit, S::Output,
     "name=value lines: mainName, mainKind, fileSize, pagePos,\n"
     "pageLength, viewOffset, cursorOffset, cursorPos,\n"
     "cursorInChars, halfDirty, selectionStart, selectionEnd,\n"
     "selectionActive, rememberedStart, rememberedEnd, midPtr,\n"
     "headerShift, accessFlags, modeFlags,\n"
     "cellWidth, rowHeight, messageSwitches (positions and\n"
     "flags as 0x hexadecimal, the rest decimal)"},
    {"print", "caption", 1, "print caption", V::PrintCaption, 2, 2, nullptr, kAfterExit, S::Output,
     "CAPTION \"text\""},
    {"print", "scrollbar", 1, "print scrollbar", V::PrintScrollBar, 2, 2, nullptr, kAfterExit, S::Output,
     "SCROLLBAR maximum=M position=P"},
    {"print", "menus", 1, "print menus", V::PrintMenus, 2, 2, nullptr, kAfterExit, S::Output,
     "the greyed menus (by index, AVI = 5) and items (by code),\n"
     "as the window greys them, the checked items, and\n"
     "the last opened files"},
    {"print", "clipboard", 1, "print clipboard", V::PrintClipboard, 2, 2, nullptr, kAfterExit, S::Output,
     "each clipboard format with its size and first bytes"},
    {"print", "progress", 1, "print progress", V::PrintProgress, 2, 2, nullptr, kAfterExit, S::Output,
     "PROGRESS reports=N from=0xS to=0xE first=0xF last=0xL\n"
     "percent=P shown=yes|no: the positions that long\n"
     "operations reported since the last print progress\n"
     "(the way from S to E, the share done at L), and\n"
     "whether an operation still shows one"},
    {"print", "overview", 1, "print overview", V::PrintOverview, 2, 2, nullptr, kAfterExit, S::Output,
     "OVERVIEW changed=B unwritten=B matches=B differences=B\n"
     "cursor=B: the bins (0-255, the file in equal parts)\n"
     "of the overview strip beside the scroll bar that\n"
     "hold a page with a record in the Journal File, one\n"
     "not yet written, a match of the last search, a\n"
     "compare difference found, the cursor (\"3,10-12\",\n"
     "\"-\" for none); \"OVERVIEW no file\" without a file"},
    {"print", "window", 1, "print window WINDOW", V::PrintWindow, 3, 3, parsePrintWindow, kAfterExit, S::Output,
     "WINDOW find \"title\" (hidden when hidden, \"at column C\n"
     "row R\" once placed, \"focus [id]\"), its controls\n"
     "as for dialogs, each listing's selection (\"[id]\n"
     "selection START length N\") and its lines (\"[id] 1: ...\")"},
    {"print", "checksums", 1, "print checksums [crc32|md5|sha1|sha256|sha512]", V::PrintChecksums, 2, 3,
     parseChecksumAlgorithm, 0, S::Output,
     "\"&Checksums...\" without its window, of the selection\n"
     "or else the whole file, as shown: CHECKSUMS 0xSTART\n"
     "0xLENGTH, then lines like CRC32 1c291ca3 (lower-case\n"
     "hex), all five without a name; \"N unreadable ranges\n"
     "read as zeros: ...\" when sectors could not be read.\n"
     "CHECKSUMS INTERRUPTED after ESC, CHECKSUMS NOT RUN\n"
     "without a file, CHECKSUMS FAILED after a read error"},
    {"echo", nullptr, 1, "echo TEXT", V::Echo, 1, kAny, parseEchoText, kQueues | kAfterExit, S::Output,
     "writes TEXT to the transcript"},
    {"expect", "row", 1, "expect row N TEXT", V::ExpectRow, 4, kAny, parseExpectRow, kAfterExit, S::Output,
     "script error unless row N contains TEXT"},
    {"expect", "state", 1, "expect state NAME VALUE", V::ExpectState, 4, 4, parseExpectState, kAfterExit, S::Output,
     "script error unless print state shows NAME=VALUE"},
    {"expect", "caption", 1, "expect caption TEXT", V::ExpectCaption, 3, kAny, parseExpectCaption, kAfterExit,
     S::Output, "script error unless the caption is TEXT"},
};

constexpr std::size_t kTextColumn = 32;
constexpr std::size_t kUsageColumn = 4;

void appendLines(std::string* out, const std::string& text, std::size_t column) {
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        *out += std::string(column, ' ') + text.substr(at, end - at) + "\n";
        at = end + 1;
    }
}

}  // namespace

const std::vector<BatchForm>& batchForms() { return kForms; }

int findBatchForm(const std::vector<std::string>& words, const BatchForm** form, std::string* error) {
    const std::string verb = lowerCase(words[0]);
    bool known = false;
    for (const BatchForm& f : kForms) {
        if (verb != f.verb) continue;
        known = true;
        if (f.sub == nullptr || (words.size() > f.subAt && lowerCase(words[f.subAt]) == f.sub)) {
            *form = &f;
            return 0;
        }
    }
    *error = known ? usageOfVerb(verb) : "unknown command '" + words[0] + "'";
    return 1;
}

std::string usageOfVerb(const std::string& verb, const char* prefix) {
    std::string usage;
    for (const BatchForm& f : kForms) {
        if (verb != f.verb || f.help == nullptr) continue;
        usage += (usage.empty() ? "usage: " : " | ") + std::string(prefix) + f.usage;
    }
    return usage;
}

std::string helpLinesOf(HelpSection section) {
    std::string out;
    for (const BatchForm& f : kForms) {
        if (f.section != section || f.help == nullptr) continue;
        const std::string usage = f.usage;
        std::string text = f.help;
        for (std::string::size_type at; (at = text.find("{SaveFileCode}")) != std::string::npos;)
            text.replace(at, 14, std::to_string(kCmdSaveFile));
        if (text.empty()) {  // listed with the text of the group's last form
            out += std::string(kUsageColumn, ' ') + usage + "\n";
            continue;
        }
        if (kUsageColumn + usage.size() < kTextColumn) {
            const std::size_t firstEnd = std::min(text.find('\n'), text.size());
            out += std::string(kUsageColumn, ' ') + usage + std::string(kTextColumn - kUsageColumn - usage.size(), ' ') +
                   text.substr(0, firstEnd) + "\n";
            if (firstEnd < text.size()) appendLines(&out, text.substr(firstEnd + 1), kTextColumn);
        } else {
            out += std::string(kUsageColumn, ' ') + usage + "\n";
            appendLines(&out, text, kTextColumn);
        }
    }
    return out;
}

unsigned traitsOf(BatchVerb kind) {
    unsigned traits = 0;
    for (const BatchForm& f : kForms)
        if (f.kind == kind) traits |= f.traits;
    return traits;
}

}  // namespace quorby
