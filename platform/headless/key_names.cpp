#include "platform/headless/key_names.h"

#include <cctype>
#include <iterator>

namespace quorby {

namespace {

struct NamedKey {
    const char* name;
    Key key;
};

// The first name of each key is its canonical one.
const NamedKey kNamedKeys[] = {
    {"Left", Key::Left},       {"Right", Key::Right},      {"Up", Key::Up},
    {"Down", Key::Down},       {"PageUp", Key::PageUp},    {"PageDown", Key::PageDown},
    {"Home", Key::Home},       {"End", Key::End},          {"Insert", Key::Insert},
    {"Delete", Key::Delete},   {"Tab", Key::Tab},          {"Space", Key::Space},
    {"Enter", Key::Enter},     {"Escape", Key::Escape},    {"Backspace", Key::Backspace},
    {"F1", Key::F1},           {"F2", Key::F2},            {"F3", Key::F3},
    {"F4", Key::F4},           {"F5", Key::F5},            {"F6", Key::F6},
    {"F7", Key::F7},           {"F8", Key::F8},            {"F9", Key::F9},
    {"F10", Key::F10},         {"F11", Key::F11},          {"F12", Key::F12},
    {"?", Key::QuestionMark},
    // Other spellings
    {"PgUp", Key::PageUp},     {"PgDn", Key::PageDown},    {"Prior", Key::PageUp},
    {"Next", Key::PageDown},   {"Pos1", Key::Home},        {"Ende", Key::End},
    {"Ins", Key::Insert},      {"Del", Key::Delete},       {"Return", Key::Enter},
    {"Esc", Key::Escape},      {"BS", Key::Backspace},     {"QuestionMark", Key::QuestionMark},
};

bool equalsIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}

int parseModifier(const std::string& word, std::uint32_t* bit) {
    if (equalsIgnoringCase(word, "Ctrl") || equalsIgnoringCase(word, "Control") || equalsIgnoringCase(word, "Strg")) {
        *bit = kCtrl;
    } else if (equalsIgnoringCase(word, "Alt")) {
        *bit = kAlt;
    } else if (equalsIgnoringCase(word, "Shift")) {
        *bit = kShift;
    } else {
        return 1;
    }
    return 0;
}

int parseKeyWord(const std::string& word, Key* key) {
    for (const NamedKey& k : kNamedKeys) {
        if (equalsIgnoringCase(word, k.name)) {
            *key = k.key;
            return 0;
        }
    }
    if (word.size() == 1) {
        char c = word[0];
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            *key = letterKey(c);
            return 0;
        }
    }
    return 1;
}

}  // namespace

int parseKeyChord(const std::string& text, Key* key, std::uint32_t* modifiers, std::string* error) {
    std::uint32_t mods = 0;
    std::size_t start = 0;
    // Every '+' separates a modifier from the rest, except a trailing key name
    // that is itself "+" is not supported (no key uses it).
    while (true) {
        std::size_t plus = text.find('+', start);
        if (plus == std::string::npos) break;
        std::string word = text.substr(start, plus - start);
        std::uint32_t bit = 0;
        if (parseModifier(word, &bit) != 0) {
            *error = "unknown modifier '" + word + "' in key '" + text + "'";
            return 1;
        }
        if (mods & bit) {
            *error = "modifier '" + word + "' given twice in key '" + text + "'";
            return 1;
        }
        mods |= bit;
        start = plus + 1;
    }
    std::string last = text.substr(start);
    if (last.empty()) {
        *error = "key name missing in '" + text + "'";
        return 1;
    }
    if (parseKeyWord(last, key) != 0) {
        *error = "unknown key '" + last + "'";
        return 1;
    }
    *modifiers = mods;
    return 0;
}

std::string keyName(Key key) {
    for (const NamedKey& k : kNamedKeys)
        if (k.key == key) return k.name;
    auto code = static_cast<std::uint16_t>(key);
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return std::string(1, char(code));
    return "Key" + std::to_string(code);
}

std::string keyChordName(Key key, std::uint32_t modifiers) {
    std::string name;
    if (modifiers & kCtrl) name += "Ctrl+";
    if (modifiers & kAlt) name += "Alt+";
    if (modifiers & kShift) name += "Shift+";
    return name + keyName(key);
}

int typedCharacter(Key key, std::uint32_t modifiers) {
    // Alt makes a system key: no typed character.
    if (modifiers & kAlt) return -1;
    bool ctrl = (modifiers & kCtrl) != 0;
    bool shift = (modifiers & kShift) != 0;
    switch (key) {
        case Key::Escape: return 27;
        case Key::Enter: return ctrl ? 10 : 13;
        case Key::Backspace: return ctrl ? 127 : 8;
        case Key::Tab: return ctrl ? -1 : 9;
        case Key::Space: return 32;
        case Key::QuestionMark: return ctrl ? -1 : '?';
        default: break;
    }
    auto code = static_cast<std::uint16_t>(key);
    if (code >= 'A' && code <= 'Z') {
        if (ctrl) return code - 'A' + 1;
        return shift ? code : code + 32;
    }
    if (code >= '0' && code <= '9') return (ctrl || shift) ? -1 : code;
    return -1;
}

}  // namespace quorby
