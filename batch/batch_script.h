#pragma once
// The batch script language: one command per line, '#' starts a comment line.
// This file turns lines into checked commands; batch_runner.cpp runs them.
#include <cstdint>
#include <string>
#include <vector>
#include "app/window_events.h"
#include "core/keys.h"
#include "platform/headless/script_answers.h"
#include "platform/headless/script_words.h"

namespace quorby {

enum class BatchVerb {
    Open, Drive, Command, Key, Hold, Release, Type, Click, Drag, Wheel, Scroll, Resize, Paint,
    Answer, File, Popup, DialogSet, DialogCheck, DialogChoose, DialogPress, DialogCancel,
    PendingKey, PendingType, PendingWait, PendingCommand, PendingWindow,
    Window, Search, Replace, Compare, Differences, Clipboard, Overview,
    PrintGrid, PrintRow, PrintCells, PrintColours, PrintState, PrintCaption, PrintScrollBar,
    PrintMenus, PrintClipboard, PrintWindow, PrintOverview, PrintProgress, PrintChecksums,
    ExpectRow, ExpectState, ExpectCaption,
    Echo, Timeout, Quit, Close,
};

struct KeyStroke {
    Key key = Key::None;
    std::uint32_t modifiers = 0;
    int repeat = 1;
};

enum class ClickKind { Left, Right, Double };

struct BatchCommand {
    int line = 0;
    BatchVerb verb = BatchVerb::Echo;
    std::string source;           // the line as written, for the transcript
    std::string text;             // path, device, label, name, typed bytes ...
    std::string value;            // dialog value, expected value
    bool readOnly = false;
    bool cancel = false;          // file cancel, popup cancel
    bool checked = true;          // dialog check on/off
    std::int64_t numbers[4] = {0, 0, 0, 0};
    std::vector<KeyStroke> keys;
    std::vector<ScriptAnswer> answers;
    ClickKind click = ClickKind::Left;
    std::uint32_t modifiers = 0;
    ScrollAction scroll = ScrollAction::LineDown;
    ModelessAction window;        // window, pending window; print window: its window
    // search text|hex PATTERN [up|down] [case] [from-cursor]: the pattern is
    // `text`; replace ... also the replacement, in `value`
    bool hexSearch = false;
    int searchDirection = 0;      // 0: as the dialog shows, 1: down, 2: up
    bool matchCase = false;
    bool fromCursor = false;
    bool replaceAll = false;
};

// Parses one line. *empty is set for blank and comment lines.
[[nodiscard]] int parseBatchLine(const std::string& line, int lineNumber, BatchCommand* out, bool* empty,
                   std::string* error);

struct ScriptError {
    int line = 0;
    std::string message;
};

// Parses a whole script and checks what spans lines: `release` needs a
// held key, and nothing but printing may follow `quit` or `close`.
[[nodiscard]] int parseBatchScript(const std::vector<std::string>& lines, std::vector<BatchCommand>* out, ScriptError* error);

// True for commands that only queue answers or input for later commands.
bool isQueueingCommand(BatchVerb verb);

}  // namespace quorby
