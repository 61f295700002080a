#include "platform/headless/script_words.h"

#include <cctype>

namespace quorby {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

std::string lowerCase(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int parseNumber(const std::string& word, std::int64_t low, std::int64_t high, std::int64_t* out,
                std::string* error) {
    std::string digits = word;
    bool negative = false;
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
        negative = digits[0] == '-';
        digits.erase(0, 1);
    }
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.erase(0, 2);
    }
    if (digits.empty() || digits.size() > 18) {
        *error = "bad number '" + word + "'";
        return 1;
    }
    std::int64_t value = 0;
    for (char c : digits) {
        int d = hexDigit(c);
        if (d < 0 || d >= base) {
            *error = "bad number '" + word + "'";
            return 1;
        }
        value = value * base + d;
    }
    if (negative) value = -value;
    if (value < low || value > high) {
        *error = "number " + word + " out of range " + std::to_string(low) + ".." + std::to_string(high);
        return 1;
    }
    *out = value;
    return 0;
}

int unescapeC(const std::string& in, std::string* out, std::string* error) {
    std::string result;
    for (std::size_t i = 0; i < in.size(); ++i) {
        char c = in[i];
        if (c != '\\') {
            result += c;
            continue;
        }
        if (i + 1 >= in.size()) {
            *error = "backslash at the end of the text";
            return 1;
        }
        char e = in[++i];
        switch (e) {
            case 'e': result += '\x1b'; break;
            case 'r': result += '\r'; break;
            case 'n': result += '\n'; break;
            case 't': result += '\t'; break;
            case 'b': result += '\b'; break;
            case '0': result += '\0'; break;
            case '\\': result += '\\'; break;
            case '"': result += '"'; break;
            case '\'': result += '\''; break;
            case 'x': {
                int value = 0, digits = 0;
                while (digits < 2 && i + 1 < in.size() && hexDigit(in[i + 1]) >= 0) {
                    value = value * 16 + hexDigit(in[++i]);
                    ++digits;
                }
                if (digits == 0) {
                    *error = "\\x without hexadecimal digits";
                    return 1;
                }
                result += char(value);
                break;
            }
            default:
                *error = std::string("unknown escape \\") + e;
                return 1;
        }
    }
    *out = std::move(result);
    return 0;
}

int splitWords(const std::string& line, std::vector<std::string>* words, std::string* error) {
    words->clear();
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i >= line.size()) return 0;
        if (line[i] == '"') {
            std::size_t start = ++i;
            while (i < line.size() && line[i] != '"') {
                if (line[i] == '\\' && i + 1 < line.size()) ++i;
                ++i;
            }
            if (i >= line.size()) {
                *error = "unterminated \"";
                return 1;
            }
            std::string word;
            if (unescapeC(line.substr(start, i - start), &word, error) != 0) return 1;
            words->push_back(std::move(word));
            ++i;
            if (i < line.size() && !isBlank(line[i])) {
                *error = "blank expected after closing \"";
                return 1;
            }
        } else {
            std::size_t start = i;
            while (i < line.size() && !isBlank(line[i])) ++i;
            words->push_back(line.substr(start, i - start));
        }
    }
}

int parseAnswer(const std::string& word, ScriptAnswer* out, std::string* error) {
    std::string w = lowerCase(word);
    ScriptAnswer a;
    const std::string suffix = "+dontask";
    if (w.size() > suffix.size() && w.compare(w.size() - suffix.size(), suffix.size(), suffix) == 0) {
        a.dontAsk = true;
        w.erase(w.size() - suffix.size());
    }
    if (w == "yes") a.word = AnswerWord::Yes;
    else if (w == "no") a.word = AnswerWord::No;
    else if (w == "ok") a.word = AnswerWord::Ok;
    else if (w == "cancel") a.word = AnswerWord::Cancel;
    else {
        *error = "bad answer '" + word + "' (yes, no, ok or cancel, optionally +dontask)";
        return 1;
    }
    *out = a;
    return 0;
}

const char* answerWordName(AnswerWord word) {
    switch (word) {
        case AnswerWord::Yes: return "yes";
        case AnswerWord::No: return "no";
        case AnswerWord::Ok: return "ok";
        case AnswerWord::Cancel: return "cancel";
    }
    return "?";
}

}  // namespace quorby
