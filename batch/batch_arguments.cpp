#include "batch/batch_arguments.h"

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

int usageError(const FormInput& in, std::string* error) {
    *error = std::string("usage: ") + in.form.usage;
    return 1;
}

// The index of the first word after the words that name the form.
std::size_t firstArgument(const BatchForm& form) { return form.sub ? form.subAt + 1 : 1; }

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

// The text after the first `skip` words of the line: used by the commands
// whose text keeps its blanks. A text in double quotes loses the quotes;
// escapes are decoded in both forms.
int restOfLine(const std::string& line, std::size_t skip, std::string* out, std::string* error) {
    std::size_t i = 0;
    for (std::size_t w = 0; w < skip; ++w) {
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

int parseOnOff(const FormInput& in, const std::string& word, bool* on, std::string* error) {
    const std::string state = lowerCase(word);
    if (state != "on" && state != "off") return usageError(in, error);
    *on = state == "on";
    return 0;
}

// The window action of the words from the window's name (at `first`) on;
// `in.form` is the action's form of `window`.
int takeWindowAction(const FormInput& in, std::size_t first, ModelessAction* action, std::string* error) {
    if (parseModelessWindowName(in.words[first], &action->window, error) != 0) return 1;
    const std::string sub = in.form.sub;
    const std::size_t n = in.words.size() - first;  // words from the window's name on
    if (sub == "close") {
        action->kind = ModelessAction::Kind::Close;
        return 0;
    }
    action->target = in.words[first + 2];
    if (sub == "set") {
        action->kind = ModelessAction::Kind::Set;
        action->value = in.words[first + 3];
    } else if (sub == "check") {
        action->kind = ModelessAction::Kind::Check;
        if (n == 4) return parseOnOff(in, in.words[first + 3], &action->checked, error);
    } else if (sub == "choose") {
        action->kind = ModelessAction::Kind::Choose;
    } else if (sub == "press") {
        action->kind = ModelessAction::Kind::Press;
    } else {
        action->kind = ModelessAction::Kind::Caret;
        return parseNumber(in.words[first + 3], 1, 100000000, &action->line, error);
    }
    return 0;
}

}  // namespace

int parseOpenArguments(const FormInput& in, BatchCommand* cmd, std::string* error) {
    cmd->text = cmd->verb == BatchVerb::Open ? absolutePath(in.words[1]) : in.words[1];
    if (in.words.size() == 3) {
        if (lowerCase(in.words[2]) != "readonly") {
            *error = "unknown option '" + in.words[2] + "' (only readonly)";
            return 1;
        }
        cmd->readOnly = true;
    }
    return 0;
}

int parseCommandArgument(const FormInput& in, BatchCommand* cmd, std::string* error) {
    return parseCommandCode(in.words[firstArgument(in.form)], &cmd->numbers[0], error);
}

int parseKeyArguments(const FormInput& in, BatchCommand* cmd, std::string* error) {
    return parseKeyList(in.words, firstArgument(in.form), &cmd->keys, error);
}

int parseTypeArgument(const FormInput& in, BatchCommand* cmd, std::string* error) {
    if (restOfLine(in.line, firstArgument(in.form), &cmd->text, error) != 0) return 1;
    return cmd->text.empty() ? usageError(in, error) : 0;
}

int parseClickArguments(const FormInput& in, BatchCommand* cmd, std::string* error) {
    const auto& words = in.words;
    if (parseNumber(words[1], 0, kGridColumns - 1, &cmd->numbers[0], error) != 0) return 1;
    if (parseNumber(words[2], 0, kGridRows - 1, &cmd->numbers[1], error) != 0) return 1;
    for (std::size_t i = 3; i < words.size(); ++i) {
        std::string w = lowerCase(words[i]);
        if (w == "right") cmd->click = ClickKind::Right;
        else if (w == "double") cmd->click = ClickKind::Double;
        else if (w == "shift") cmd->modifiers |= kShift;
        else if (w == "ctrl") cmd->modifiers |= kCtrl;
        else {
            *error = "unknown click option '" + words[i] + "'; " + in.form.usage;
            return 1;
        }
    }
    return 0;
}

int parseDragArguments(const FormInput& in, BatchCommand* cmd, std::string* error) {
    for (int i = 0; i < 4; ++i) {
        std::int64_t high = (i % 2 == 0 ? kGridColumns : kGridRows) - 1;
        if (parseNumber(in.words[std::size_t(i) + 1], 0, high, &cmd->numbers[i], error) != 0) return 1;
    }
    return 0;
}

int parseWheelArguments(const FormInput& in, BatchCommand* cmd, std::string* error) {
    if (parseNumber(in.words[1], -1000, 1000, &cmd->numbers[0], error) != 0) return 1;
    if (cmd->numbers[0] == 0) {
        *error = "wheel needs a step count other than 0";
        return 1;
    }
    if (in.words.size() == 3) {
        std::string m = lowerCase(in.words[2]);
        if (m == "ctrl") cmd->modifiers = kCtrl;
        else if (m == "shift") cmd->modifiers = kShift;
        else return usageError(in, error);
    }
    return 0;
}

int parseScrollArguments(const FormInput& in, BatchCommand* cmd, std::string* error) {
    std::string w = lowerCase(in.words[1]);
    bool needsPosition = false;
    if (w == "lineup") cmd->scroll = ScrollAction::LineUp;
    else if (w == "linedown") cmd->scroll = ScrollAction::LineDown;
    else if (w == "pageup") cmd->scroll = ScrollAction::PageUp;
    else if (w == "pagedown") cmd->scroll = ScrollAction::PageDown;
    else if (w == "top") cmd->scroll = ScrollAction::Top;
    else if (w == "bottom") cmd->scroll = ScrollAction::Bottom;
    else if (w == "track") cmd->scroll = ScrollAction::ThumbTrack, needsPosition = true;
    else if (w == "thumb") cmd->scroll = ScrollAction::ThumbPosition, needsPosition = true;
    else return usageError(in, error);
    if (needsPosition != (in.words.size() == 3)) return usageError(in, error);
    if (needsPosition) return parseNumber(in.words[2], 0, 0x7FFFFFFF, &cmd->numbers[0], error);
    return 0;
}

int parseResizeArguments(const FormInput& in, BatchCommand* cmd, std::string* error) {
    if (parseNumber(in.words[1], 0, 100000, &cmd->numbers[0], error) != 0) return 1;
    return parseNumber(in.words[2], 0, 100000, &cmd->numbers[1], error);
}

int parseWindowArguments(const FormInput& in, BatchCommand* cmd, std::string* error) {
    return takeWindowAction(in, 1, &cmd->window, error);
}

int parsePendingWindow(const FormInput& in, BatchCommand* cmd, std::string* error) {
    // The words after "pending" are a window command's.
    const std::vector<std::string> windowWords(in.words.begin() + 1, in.words.end());
    const BatchForm* form = nullptr;
    if (findBatchForm(windowWords, &form, error) != 0 || windowWords.size() < form->minWords ||
        windowWords.size() > form->maxWords) {
        *error = usageOfVerb("window", "pending ");
        return 1;
    }
    return takeWindowAction(FormInput{in.line, in.words, *form}, 2, &cmd->window, error);
}

namespace {

// The words after the pattern (and the replacement) of search and replace.
int parseSearchOptions(const FormInput& in, std::size_t first, bool allowed, BatchCommand* cmd, std::string* error) {
    const auto& words = in.words;
    for (std::size_t i = first; i < words.size(); ++i) {
        const std::string w = lowerCase(words[i]);
        if (w == "down" && cmd->searchDirection == 0) cmd->searchDirection = 1;
        else if (w == "up" && cmd->searchDirection == 0) cmd->searchDirection = 2;
        else if (w == "case" && !cmd->matchCase && !cmd->hexSearch) cmd->matchCase = true;
        else if (w == "from-cursor" && !cmd->fromCursor) cmd->fromCursor = true;
        else if (w == "all" && allowed && !cmd->replaceAll) cmd->replaceAll = true;
        else {
            *error = "unexpected '" + words[i] + "'; usage: " + in.form.usage + " (case only with text)";
            return 1;
        }
    }
    return 0;
}

}  // namespace

int parseSearchArguments(const FormInput& in, BatchCommand* cmd, std::string* error) {
    const auto& words = in.words;
    const std::string mode = lowerCase(words[1]);
    if (mode != "text" && mode != "hex") return usageError(in, error);
    cmd->hexSearch = mode == "hex";
    cmd->text = words[2];
    return parseSearchOptions(in, 3, false, cmd, error);
}

int parseReplaceArguments(const FormInput& in, BatchCommand* cmd, std::string* error) {
    const auto& words = in.words;
    const std::string mode = lowerCase(words[1]);
    if (mode != "text" && mode != "hex") return usageError(in, error);
    cmd->hexSearch = mode == "hex";
    cmd->text = words[2];
    cmd->value = words[3];
    return parseSearchOptions(in, 4, true, cmd, error);
}

int parsePathArgument(const FormInput& in, BatchCommand* cmd, std::string*) {
    cmd->text = absolutePath(in.words[1]);
    return 0;
}

// clipboard text TEXT | data HEX | clear: `value` says which, `text` holds
// the text or the bytes.
int parseClipboardText(const FormInput& in, BatchCommand* cmd, std::string* error) {
    cmd->value = "text";
    return restOfLine(in.line, 2, &cmd->text, error);
}

int parseClipboardData(const FormInput& in, BatchCommand* cmd, std::string* error) {
    cmd->value = "data";
    const std::string& hex = in.words[2];
    const bool allHex =
        std::all_of(hex.begin(), hex.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    if (hex.size() % 2 != 0 || !allHex) {
        *error = "clipboard data takes pairs of hex digits";
        return 1;
    }
    for (std::size_t i = 0; i < hex.size(); i += 2) cmd->text.push_back(char(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return 0;
}

int parseClipboardClear(const FormInput&, BatchCommand* cmd, std::string*) {
    cmd->value = "clear";
    return 0;
}

int parseAnswerArguments(const FormInput& in, BatchCommand* cmd, std::string* error) {
    for (std::size_t i = 1; i < in.words.size(); ++i) {
        ScriptAnswer a;
        if (parseAnswer(in.words[i], &a, error) != 0) return 1;
        cmd->answers.push_back(a);
    }
    return 0;
}

int parseFileArguments(const FormInput& in, BatchCommand* cmd, std::string* error) {
    cmd->cancel = lowerCase(in.words[1]) == "cancel" && in.line.find('"') == std::string::npos;
    cmd->text = cmd->cancel ? in.words[1] : absolutePath(in.words[1]);
    if (in.words.size() == 3) {
        if (lowerCase(in.words[2]) != "readonly" || cmd->cancel) return usageError(in, error);
        cmd->readOnly = true;
    }
    return 0;
}

int parsePopupArgument(const FormInput& in, BatchCommand* cmd, std::string* error) {
    if (lowerCase(in.words[1]) == "cancel") {
        cmd->cancel = true;
        return 0;
    }
    return parseCommandCode(in.words[1], &cmd->numbers[0], error);
}

int parseDialogArguments(const FormInput& in, BatchCommand* cmd, std::string* error) {
    cmd->text = in.words[2];
    if (cmd->verb == BatchVerb::DialogSet) cmd->value = in.words[3];
    if (cmd->verb == BatchVerb::DialogCheck && in.words.size() == 4)
        return parseOnOff(in, in.words[3], &cmd->checked, error);
    return 0;
}

int parsePendingWait(const FormInput& in, BatchCommand* cmd, std::string* error) {
    return parseNumber(in.words[2], 1, 1000000000, &cmd->numbers[0], error);
}

int parseTimeoutArgument(const FormInput& in, BatchCommand* cmd, std::string* error) {
    if (lowerCase(in.words[1]) == "off") return 0;
    return parseNumber(in.words[1], 1, 604800, &cmd->numbers[0], error);
}

int parseRowArgument(const FormInput& in, BatchCommand* cmd, std::string* error) {
    return parseNumber(in.words[2], 0, kGridRows - 1, &cmd->numbers[0], error);
}

int parseOverviewArgument(const FormInput& in, BatchCommand* cmd, std::string* error) {
    return parseNumber(in.words[1], 0, kOverviewBins - 1, &cmd->numbers[0], error);
}

int parsePrintWindow(const FormInput& in, BatchCommand* cmd, std::string* error) {
    return parseModelessWindowName(in.words[2], &cmd->window.window, error);
}

int parseEchoText(const FormInput& in, BatchCommand* cmd, std::string* error) {
    return restOfLine(in.line, 1, &cmd->text, error);
}

int parseExpectRow(const FormInput& in, BatchCommand* cmd, std::string* error) {
    if (parseNumber(in.words[2], 0, kGridRows - 1, &cmd->numbers[0], error) != 0) return 1;
    return restOfLine(in.line, 3, &cmd->value, error);
}

int parseExpectState(const FormInput& in, BatchCommand* cmd, std::string*) {
    cmd->text = in.words[2];
    cmd->value = in.words[3];
    return 0;
}

int parseExpectCaption(const FormInput& in, BatchCommand* cmd, std::string* error) {
    return restOfLine(in.line, 2, &cmd->value, error);
}

}  // namespace quorby
