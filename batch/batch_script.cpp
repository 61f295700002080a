#include "batch/batch_script.h"

#include <algorithm>
#include <cctype>

#include "platform/headless/key_names.h"
#include "platform/headless/modeless_windows.h"
#include "platform/platform.h"
#include "platform/posix/absolute_path.h"
#include "resources/menus.h"

namespace quorby {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

int parseKeyList(const std::vector<std::string>& words, std::size_t first, std::vector<KeyStroke>* keys,
                 std::string* error) {
    if (first >= words.size()) {
        *error = "key name missing";
        return 1;
    }
    for (std::size_t i = first; i < words.size(); ++i) {
        KeyStroke stroke;
        std::string chord = words[i];
        // "Down*5" repeats a key; the '*' cannot be part of a key name.
        std::size_t star = chord.find('*');
        if (star != std::string::npos) {
            std::int64_t repeat = 0;
            if (parseNumber(chord.substr(star + 1), 1, 100000, &repeat, error) != 0) return 1;
            stroke.repeat = int(repeat);
            chord.erase(star);
        }
        if (parseKeyChord(chord, &stroke.key, &stroke.modifiers, error) != 0) return 1;
        keys->push_back(stroke);
    }
    return 0;
}

// A command given by number or by its exact menu text.
int parseCommandCode(const std::string& word, std::int64_t* code, std::string* error) {
    if (!word.empty() && std::isdigit(static_cast<unsigned char>(word[0])))
        return parseNumber(word, 0, 65535, code, error);
    const MenuItemDef* item = findMenuItem(word.c_str());
    if (item == nullptr) {
        *error = "no menu item \"" + word + "\"";
        return 1;
    }
    *code = item->code;
    return 0;
}

int expectWordCount(const std::vector<std::string>& words, std::size_t low, std::size_t high,
                    const char* usage, std::string* error) {
    if (words.size() < low || words.size() > high) {
        *error = std::string("usage: ") + usage;
        return 1;
    }
    return 0;
}

// The text after the first `skip` words of a raw line: used by `type`, `echo`
// and `expect`, whose text keeps its blanks. A text in double quotes loses
// the quotes; escapes are decoded in both forms.
int restOfLine(const std::string& line, int skip, std::string* out, std::string* error) {
    std::size_t i = 0;
    for (int w = 0; w < skip; ++w) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i < line.size() && line[i] == '"') {
            ++i;
            while (i < line.size() && line[i] != '"') {
                if (line[i] == '\\' && i + 1 < line.size()) ++i;
                ++i;
            }
            ++i;
        } else {
            while (i < line.size() && !isBlank(line[i])) ++i;
        }
    }
    if (i < line.size() && isBlank(line[i])) ++i;  // one separating blank
    std::string rest = line.substr(std::min(i, line.size()));
    while (!rest.empty() && rest.back() == '\r') rest.pop_back();
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') rest = rest.substr(1, rest.size() - 2);
    return unescapeC(rest, out, error);
}

int parseClick(const std::vector<std::string>& words, BatchCommand* cmd, std::string* error) {
    const char* usage = "click COL ROW [right|double] [shift|ctrl]";
    if (expectWordCount(words, 3, 5, usage, error) != 0) return 1;
    if (parseNumber(words[1], 0, kGridColumns - 1, &cmd->numbers[0], error) != 0) return 1;
    if (parseNumber(words[2], 0, kGridRows - 1, &cmd->numbers[1], error) != 0) return 1;
    for (std::size_t i = 3; i < words.size(); ++i) {
        std::string w = lowerCase(words[i]);
        if (w == "right") cmd->click = ClickKind::Right;
        else if (w == "double") cmd->click = ClickKind::Double;
        else if (w == "shift") cmd->modifiers |= kShift;
        else if (w == "ctrl") cmd->modifiers |= kCtrl;
        else {
            *error = "unknown click option '" + words[i] + "'; " + usage;
            return 1;
        }
    }
    return 0;
}

int parseScroll(const std::vector<std::string>& words, BatchCommand* cmd, std::string* error) {
    const char* usage = "scroll lineup|linedown|pageup|pagedown|top|bottom|track POS|thumb POS";
    if (expectWordCount(words, 2, 3, usage, error) != 0) return 1;
    std::string w = lowerCase(words[1]);
    bool needsPosition = false;
    if (w == "lineup") cmd->scroll = ScrollAction::LineUp;
    else if (w == "linedown") cmd->scroll = ScrollAction::LineDown;
    else if (w == "pageup") cmd->scroll = ScrollAction::PageUp;
    else if (w == "pagedown") cmd->scroll = ScrollAction::PageDown;
    else if (w == "top") cmd->scroll = ScrollAction::Top;
    else if (w == "bottom") cmd->scroll = ScrollAction::Bottom;
    else if (w == "track") cmd->scroll = ScrollAction::ThumbTrack, needsPosition = true;
    else if (w == "thumb") cmd->scroll = ScrollAction::ThumbPosition, needsPosition = true;
    else {
        *error = std::string("usage: ") + usage;
        return 1;
    }
    if (needsPosition != (words.size() == 3)) {
        *error = std::string("usage: ") + usage;
        return 1;
    }
    if (needsPosition) return parseNumber(words[2], 0, 0x7FFFFFFF, &cmd->numbers[0], error);
    return 0;
}

int parseDialog(const std::vector<std::string>& words, BatchCommand* cmd, std::string* error) {
    const char* usage = "dialog set|check|choose|press LABEL-OR-ID ... | dialog cancel";
    if (words.size() < 2) {
        *error = std::string("usage: ") + usage;
        return 1;
    }
    std::string sub = lowerCase(words[1]);
    if (sub == "cancel") {
        cmd->verb = BatchVerb::DialogCancel;
        return expectWordCount(words, 2, 2, "dialog cancel", error);
    }
    if (sub == "set") {
        cmd->verb = BatchVerb::DialogSet;
        if (expectWordCount(words, 4, 4, "dialog set LABEL-OR-ID VALUE", error) != 0) return 1;
        cmd->value = words[3];
    } else if (sub == "check") {
        cmd->verb = BatchVerb::DialogCheck;
        if (expectWordCount(words, 3, 4, "dialog check LABEL-OR-ID [on|off]", error) != 0) return 1;
        if (words.size() == 4) {
            std::string state = lowerCase(words[3]);
            if (state != "on" && state != "off") {
                *error = "usage: dialog check LABEL-OR-ID [on|off]";
                return 1;
            }
            cmd->checked = state == "on";
        }
    } else if (sub == "choose") {
        cmd->verb = BatchVerb::DialogChoose;
        if (expectWordCount(words, 3, 3, "dialog choose LABEL-OR-ID", error) != 0) return 1;
    } else if (sub == "press") {
        cmd->verb = BatchVerb::DialogPress;
        if (expectWordCount(words, 3, 3, "dialog press LABEL-OR-ID", error) != 0) return 1;
    } else {
        *error = std::string("usage: ") + usage;
        return 1;
    }
    cmd->text = words[2];
    return 0;
}

// window WINDOW set|check|choose|press|caret|close ..., from words[first].
int parseWindowAction(const std::vector<std::string>& words, std::size_t first, ModelessAction* action,
                      std::string* error) {
    const char* usage =
        "window find|disassembly|offset set LABEL-OR-ID TEXT | check LABEL-OR-ID [on|off] | choose LABEL-OR-ID | "
        "press LABEL-OR-ID | caret LISTING-ID LINE | close";
    if (words.size() < first + 2) {
        *error = std::string("usage: ") + usage;
        return 1;
    }
    if (parseModelessWindowName(words[first], &action->window, error) != 0) return 1;
    const std::string sub = lowerCase(words[first + 1]);
    const std::size_t n = words.size() - first;  // words from the window's name on
    auto arity = [&](std::size_t low, std::size_t high) {
        if (n >= low && n <= high) return 0;
        *error = std::string("usage: ") + usage;
        return 1;
    };
    if (sub == "close") {
        action->kind = ModelessAction::Kind::Close;
        return arity(2, 2);
    }
    if (sub == "set") {
        action->kind = ModelessAction::Kind::Set;
        if (arity(4, 4) != 0) return 1;
        action->value = words[first + 3];
    } else if (sub == "check") {
        action->kind = ModelessAction::Kind::Check;
        if (arity(3, 4) != 0) return 1;
        if (n == 4) {
            const std::string state = lowerCase(words[first + 3]);
            if (state != "on" && state != "off") {
                *error = std::string("usage: ") + usage;
                return 1;
            }
            action->checked = state == "on";
        }
    } else if (sub == "choose" || sub == "press") {
        action->kind = sub == "choose" ? ModelessAction::Kind::Choose : ModelessAction::Kind::Press;
        if (arity(3, 3) != 0) return 1;
    } else if (sub == "caret") {
        action->kind = ModelessAction::Kind::Caret;
        if (arity(4, 4) != 0) return 1;
        if (parseNumber(words[first + 3], 1, 100000000, &action->line, error) != 0) return 1;
    } else {
        *error = std::string("usage: ") + usage;
        return 1;
    }
    action->target = words[first + 2];
    return 0;
}

int parseSearch(const std::vector<std::string>& words, BatchCommand* cmd, std::string* error) {
    const char* usage = "search text|hex PATTERN [up|down] [case]";
    if (expectWordCount(words, 3, 5, usage, error) != 0) return 1;
    const std::string mode = lowerCase(words[1]);
    if (mode != "text" && mode != "hex") {
        *error = std::string("usage: ") + usage;
        return 1;
    }
    cmd->hexSearch = mode == "hex";
    cmd->text = words[2];
    for (std::size_t i = 3; i < words.size(); ++i) {
        const std::string w = lowerCase(words[i]);
        if (w == "down" && cmd->searchDirection == 0) cmd->searchDirection = 1;
        else if (w == "up" && cmd->searchDirection == 0) cmd->searchDirection = 2;
        else if (w == "case" && !cmd->matchCase && !cmd->hexSearch) cmd->matchCase = true;
        else {
            *error = "unexpected '" + words[i] + "'; usage: " + usage + " (case only with text)";
            return 1;
        }
    }
    return 0;
}

// clipboard text TEXT | clipboard data HEX | clipboard clear: `value` says
// which, `text` holds the text or the bytes.
int parseClipboard(const std::string& line, const std::vector<std::string>& words, BatchCommand* cmd,
                   std::string* error) {
    const char* usage = "clipboard text TEXT|data HEXBYTES|clear";
    cmd->verb = BatchVerb::Clipboard;
    cmd->value = words.size() > 1 ? lowerCase(words[1]) : std::string();
    if (cmd->value == "clear") return expectWordCount(words, 2, 2, usage, error);
    if (cmd->value == "text") return restOfLine(line, 2, &cmd->text, error);
    if (cmd->value != "data" || expectWordCount(words, 3, 3, usage, error) != 0) {
        *error = std::string("usage: ") + usage;
        return 1;
    }
    const std::string& hex = words[2];
    const bool allHex = std::all_of(hex.begin(), hex.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    if (hex.size() % 2 != 0 || !allHex) {
        *error = "clipboard data takes pairs of hex digits";
        return 1;
    }
    for (std::size_t i = 0; i < hex.size(); i += 2) cmd->text.push_back(char(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return 0;
}

int parsePending(const std::string& line, const std::vector<std::string>& words, BatchCommand* cmd,
                 std::string* error) {
    const char* usage = "pending key KEYS | pending type TEXT | pending wait N | pending command CODE | pending window ...";
    if (words.size() < 3) {
        *error = std::string("usage: ") + usage;
        return 1;
    }
    std::string sub = lowerCase(words[1]);
    if (sub == "key") {
        cmd->verb = BatchVerb::PendingKey;
        return parseKeyList(words, 2, &cmd->keys, error);
    }
    if (sub == "type") {
        cmd->verb = BatchVerb::PendingType;
        return restOfLine(line, 2, &cmd->text, error);
    }
    if (sub == "wait") {
        cmd->verb = BatchVerb::PendingWait;
        if (expectWordCount(words, 3, 3, "pending wait N", error) != 0) return 1;
        return parseNumber(words[2], 1, 1000000000, &cmd->numbers[0], error);
    }
    if (sub == "window") {
        cmd->verb = BatchVerb::PendingWindow;
        return parseWindowAction(words, 2, &cmd->window, error);
    }
    if (sub == "command") {
        cmd->verb = BatchVerb::PendingCommand;
        if (expectWordCount(words, 3, 3, "pending command CODE|\"MENU TEXT\"", error) != 0) return 1;
        return parseCommandCode(words[2], &cmd->numbers[0], error);
    }
    *error = std::string("usage: ") + usage;
    return 1;
}

int parsePrint(const std::vector<std::string>& words, BatchCommand* cmd, std::string* error) {
    const char* usage = "print grid|row N|cells ROW|colours ROW|state|caption|scrollbar|menus|clipboard|overview|progress|window WINDOW";
    if (words.size() < 2) {
        *error = std::string("usage: ") + usage;
        return 1;
    }
    std::string what = lowerCase(words[1]);
    struct Plain {
        const char* name;
        BatchVerb verb;
    };
    static const Plain kPlain[] = {
        {"grid", BatchVerb::PrintGrid},           {"state", BatchVerb::PrintState},
        {"caption", BatchVerb::PrintCaption},     {"scrollbar", BatchVerb::PrintScrollBar},
        {"menus", BatchVerb::PrintMenus},         {"clipboard", BatchVerb::PrintClipboard},
        {"overview", BatchVerb::PrintOverview},   {"progress", BatchVerb::PrintProgress},
    };
    for (const Plain& p : kPlain) {
        if (what == p.name) {
            cmd->verb = p.verb;
            return expectWordCount(words, 2, 2, usage, error);
        }
    }
    if (what == "window") {
        cmd->verb = BatchVerb::PrintWindow;
        if (expectWordCount(words, 3, 3, "print window find|disassembly|offset", error) != 0) return 1;
        return parseModelessWindowName(words[2], &cmd->window.window, error);
    }
    if (what == "row") cmd->verb = BatchVerb::PrintRow;
    else if (what == "cells") cmd->verb = BatchVerb::PrintCells;
    else if (what == "colours" || what == "colors") cmd->verb = BatchVerb::PrintColours;
    else {
        *error = std::string("usage: ") + usage;
        return 1;
    }
    if (expectWordCount(words, 3, 3, usage, error) != 0) return 1;
    return parseNumber(words[2], 0, kGridRows - 1, &cmd->numbers[0], error);
}

int parseExpect(const std::string& line, const std::vector<std::string>& words, BatchCommand* cmd,
                std::string* error) {
    const char* usage = "expect row N TEXT | expect state NAME VALUE | expect caption TEXT";
    if (words.size() < 3) {
        *error = std::string("usage: ") + usage;
        return 1;
    }
    std::string what = lowerCase(words[1]);
    if (what == "row") {
        cmd->verb = BatchVerb::ExpectRow;
        if (words.size() < 4) {
            *error = std::string("usage: ") + usage;
            return 1;
        }
        if (parseNumber(words[2], 0, kGridRows - 1, &cmd->numbers[0], error) != 0) return 1;
        return restOfLine(line, 3, &cmd->value, error);
    }
    if (what == "state") {
        cmd->verb = BatchVerb::ExpectState;
        if (expectWordCount(words, 4, 4, "expect state NAME VALUE", error) != 0) return 1;
        cmd->text = words[2];
        cmd->value = words[3];
        return 0;
    }
    if (what == "caption") {
        cmd->verb = BatchVerb::ExpectCaption;
        return restOfLine(line, 2, &cmd->value, error);
    }
    *error = std::string("usage: ") + usage;
    return 1;
}

int parseWords(const std::string& line, const std::vector<std::string>& words, BatchCommand* cmd,
               std::string* error) {
    const std::string verb = lowerCase(words[0]);
    if (verb == "open" || verb == "drive") {
        cmd->verb = verb == "open" ? BatchVerb::Open : BatchVerb::Drive;
        if (expectWordCount(words, 2, 3, verb == "open" ? "open PATH [readonly]" : "drive DEVICE [readonly]",
                            error) != 0)
            return 1;
        cmd->text = verb == "open" ? absolutePath(words[1]) : words[1];
        if (words.size() == 3) {
            if (lowerCase(words[2]) != "readonly") {
                *error = "unknown option '" + words[2] + "' (only readonly)";
                return 1;
            }
            cmd->readOnly = true;
        }
        return 0;
    }
    if (verb == "command") {
        cmd->verb = BatchVerb::Command;
        if (expectWordCount(words, 2, 2, "command CODE|\"MENU TEXT\"", error) != 0) return 1;
        return parseCommandCode(words[1], &cmd->numbers[0], error);
    }
    if (verb == "key") {
        cmd->verb = BatchVerb::Key;
        return parseKeyList(words, 1, &cmd->keys, error);
    }
    if (verb == "hold") {
        cmd->verb = BatchVerb::Hold;
        if (expectWordCount(words, 2, 2, "hold KEY", error) != 0) return 1;
        return parseKeyList(words, 1, &cmd->keys, error);
    }
    if (verb == "release") {
        cmd->verb = BatchVerb::Release;
        return expectWordCount(words, 1, 1, "release", error);
    }
    if (verb == "type") {
        cmd->verb = BatchVerb::Type;
        if (restOfLine(line, 1, &cmd->text, error) != 0) return 1;
        if (cmd->text.empty()) {
            *error = "usage: type TEXT";
            return 1;
        }
        return 0;
    }
    if (verb == "click") {
        cmd->verb = BatchVerb::Click;
        return parseClick(words, cmd, error);
    }
    if (verb == "drag") {
        cmd->verb = BatchVerb::Drag;
        if (expectWordCount(words, 5, 5, "drag COL ROW COL ROW", error) != 0) return 1;
        for (int i = 0; i < 4; ++i) {
            std::int64_t high = (i % 2 == 0 ? kGridColumns : kGridRows) - 1;
            if (parseNumber(words[std::size_t(i) + 1], 0, high, &cmd->numbers[i], error) != 0) return 1;
        }
        return 0;
    }
    if (verb == "wheel") {
        cmd->verb = BatchVerb::Wheel;
        if (expectWordCount(words, 2, 3, "wheel STEPS [ctrl|shift]", error) != 0) return 1;
        if (parseNumber(words[1], -1000, 1000, &cmd->numbers[0], error) != 0) return 1;
        if (cmd->numbers[0] == 0) {
            *error = "wheel needs a step count other than 0";
            return 1;
        }
        if (words.size() == 3) {
            std::string m = lowerCase(words[2]);
            if (m == "ctrl") cmd->modifiers = kCtrl;
            else if (m == "shift") cmd->modifiers = kShift;
            else {
                *error = "usage: wheel STEPS [ctrl|shift]";
                return 1;
            }
        }
        return 0;
    }
    if (verb == "scroll") {
        cmd->verb = BatchVerb::Scroll;
        return parseScroll(words, cmd, error);
    }
    if (verb == "resize") {
        cmd->verb = BatchVerb::Resize;
        if (expectWordCount(words, 3, 3, "resize WIDTH HEIGHT", error) != 0) return 1;
        if (parseNumber(words[1], 0, 100000, &cmd->numbers[0], error) != 0) return 1;
        return parseNumber(words[2], 0, 100000, &cmd->numbers[1], error);
    }
    if (verb == "paint") {
        cmd->verb = BatchVerb::Paint;
        return expectWordCount(words, 1, 1, "paint", error);
    }
    if (verb == "answer") {
        cmd->verb = BatchVerb::Answer;
        if (words.size() < 2) {
            *error = "usage: answer yes|no|ok|cancel[+dontask] ...";
            return 1;
        }
        for (std::size_t i = 1; i < words.size(); ++i) {
            ScriptAnswer a;
            if (parseAnswer(words[i], &a, error) != 0) return 1;
            cmd->answers.push_back(a);
        }
        return 0;
    }
    if (verb == "file") {
        cmd->verb = BatchVerb::File;
        if (expectWordCount(words, 2, 3, "file PATH|cancel [readonly]", error) != 0) return 1;
        cmd->cancel = lowerCase(words[1]) == "cancel" && line.find('"') == std::string::npos;
        cmd->text = cmd->cancel ? words[1] : absolutePath(words[1]);
        if (words.size() == 3) {
            if (lowerCase(words[2]) != "readonly" || cmd->cancel) {
                *error = "usage: file PATH|cancel [readonly]";
                return 1;
            }
            cmd->readOnly = true;
        }
        return 0;
    }
    if (verb == "popup") {
        cmd->verb = BatchVerb::Popup;
        if (expectWordCount(words, 2, 2, "popup CODE|\"MENU TEXT\"|cancel", error) != 0) return 1;
        if (lowerCase(words[1]) == "cancel") {
            cmd->cancel = true;
            return 0;
        }
        return parseCommandCode(words[1], &cmd->numbers[0], error);
    }
    if (verb == "dialog") return parseDialog(words, cmd, error);
    if (verb == "window") {
        cmd->verb = BatchVerb::Window;
        return parseWindowAction(words, 1, &cmd->window, error);
    }
    if (verb == "search") {
        cmd->verb = BatchVerb::Search;
        return parseSearch(words, cmd, error);
    }
    if (verb == "compare") {
        cmd->verb = BatchVerb::Compare;
        if (expectWordCount(words, 2, 2, "compare PATH", error) != 0) return 1;
        cmd->text = absolutePath(words[1]);
        return 0;
    }
    if (verb == "overview") {
        cmd->verb = BatchVerb::Overview;
        if (expectWordCount(words, 2, 2, "overview BIN", error) != 0) return 1;
        return parseNumber(words[1], 0, kOverviewBins - 1, &cmd->numbers[0], error);
    }
    if (verb == "differences") {
        cmd->verb = BatchVerb::Differences;
        return expectWordCount(words, 1, 1, "differences", error);
    }
    if (verb == "clipboard") return parseClipboard(line, words, cmd, error);
    if (verb == "pending") return parsePending(line, words, cmd, error);
    if (verb == "print") return parsePrint(words, cmd, error);
    if (verb == "expect") return parseExpect(line, words, cmd, error);
    if (verb == "echo") {
        cmd->verb = BatchVerb::Echo;
        return restOfLine(line, 1, &cmd->text, error);
    }
    if (verb == "timeout") {
        cmd->verb = BatchVerb::Timeout;
        if (expectWordCount(words, 2, 2, "timeout SECONDS|off", error) != 0) return 1;
        if (lowerCase(words[1]) == "off") return 0;
        return parseNumber(words[1], 1, 604800, &cmd->numbers[0], error);
    }
    if (verb == "quit" || verb == "close") {
        cmd->verb = verb == "quit" ? BatchVerb::Quit : BatchVerb::Close;
        return expectWordCount(words, 1, 1, verb == "quit" ? "quit" : "close", error);
    }
    *error = "unknown command '" + words[0] + "'";
    return 1;
}

bool isAfterExitAllowed(BatchVerb verb) {
    switch (verb) {
        case BatchVerb::PrintGrid: case BatchVerb::PrintRow: case BatchVerb::PrintCells:
        case BatchVerb::PrintColours: case BatchVerb::PrintState: case BatchVerb::PrintCaption:
        case BatchVerb::PrintScrollBar: case BatchVerb::PrintMenus: case BatchVerb::PrintClipboard:
        case BatchVerb::PrintWindow: case BatchVerb::PrintOverview: case BatchVerb::ExpectRow: case BatchVerb::ExpectState: case BatchVerb::ExpectCaption:
        case BatchVerb::PrintProgress: case BatchVerb::Echo:
            return true;
        default:
            return false;
    }
}

}  // namespace

int parseBatchLine(const std::string& line, int lineNumber, BatchCommand* out, bool* empty,
                   std::string* error) {
    std::size_t first = 0;
    while (first < line.size() && isBlank(line[first])) ++first;
    *empty = first >= line.size() || line[first] == '#';
    if (*empty) return 0;
    std::vector<std::string> words;
    if (splitWords(line, &words, error) != 0) return 1;
    BatchCommand cmd;
    cmd.line = lineNumber;
    cmd.source = line.substr(first);
    while (!cmd.source.empty() && isBlank(cmd.source.back())) cmd.source.pop_back();
    if (parseWords(line.substr(first), words, &cmd, error) != 0) return 1;
    *out = std::move(cmd);
    return 0;
}

int parseBatchScript(const std::vector<std::string>& lines, std::vector<BatchCommand>* out, ScriptError* error) {
    out->clear();
    bool holding = false;
    int exitLine = 0;
    int dialogLine = 0;  // first line of a dialog answer not yet ended by `dialog press`
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int number = int(i) + 1;
        BatchCommand cmd;
        bool empty = false;
        std::string message;
        if (parseBatchLine(lines[i], number, &cmd, &empty, &message) != 0) {
            *error = {number, message};
            return 1;
        }
        if (empty) continue;
        bool fillsDialog = cmd.verb == BatchVerb::DialogSet || cmd.verb == BatchVerb::DialogCheck ||
                           cmd.verb == BatchVerb::DialogChoose;
        if (fillsDialog) {
            if (dialogLine == 0) dialogLine = number;
        } else if (cmd.verb == BatchVerb::DialogPress) {
            dialogLine = 0;
        } else if (dialogLine != 0 && (cmd.verb == BatchVerb::DialogCancel ||
                                       !(isQueueingCommand(cmd.verb) || isAfterExitAllowed(cmd.verb)))) {
            *error = {number, "the dialog answer begun on line " + std::to_string(dialogLine) +
                                  " must end with dialog press first"};
            return 1;
        }
        if (exitLine != 0 && !isAfterExitAllowed(cmd.verb)) {
            *error = {number, "only print, expect and echo may follow quit or close (line " +
                                  std::to_string(exitLine) + ")"};
            return 1;
        }
        if (cmd.verb == BatchVerb::Hold) {
            if (holding) {
                *error = {number, "a key is already held; release it first"};
                return 1;
            }
            holding = true;
        } else if (cmd.verb == BatchVerb::Release) {
            if (!holding) {
                *error = {number, "release without a held key"};
                return 1;
            }
            holding = false;
        } else if (cmd.verb == BatchVerb::Quit || cmd.verb == BatchVerb::Close) {
            exitLine = number;
        }
        out->push_back(std::move(cmd));
    }
    if (dialogLine != 0) {
        *error = {dialogLine, "dialog answer without dialog press"};
        return 1;
    }
    return 0;
}

bool isQueueingCommand(BatchVerb verb) {
    switch (verb) {
        case BatchVerb::Answer: case BatchVerb::File: case BatchVerb::Popup:
        case BatchVerb::DialogSet: case BatchVerb::DialogCheck: case BatchVerb::DialogChoose:
        case BatchVerb::DialogPress: case BatchVerb::DialogCancel:
        case BatchVerb::PendingKey: case BatchVerb::PendingType: case BatchVerb::PendingWait:
        case BatchVerb::PendingCommand: case BatchVerb::PendingWindow: case BatchVerb::Echo:
        case BatchVerb::Timeout:
            return true;
        default:
            return false;
    }
}

}  // namespace quorby
