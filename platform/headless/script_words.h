#pragma once
// The words of a batch script line: blanks separate them, double quotes keep
// blanks, C escapes give any byte, numbers are decimal or 0x-hexadecimal.
#include <cstdint>
#include <string>
#include <vector>
#include "platform/headless/script_answers.h"

namespace quorby {

// Decodes C escapes: \e ESC, \r, \n, \t, \b, \0, \\, \", \', \xH or \xHH.
[[nodiscard]] int unescapeC(const std::string& in, std::string* out, std::string* error);

// Splits a line into words at blanks; a word in double quotes may hold blanks
// and C escapes. Returns 1 on an unterminated quote or a bad escape.
[[nodiscard]] int splitWords(const std::string& line, std::vector<std::string>* words, std::string* error);

// "yes", "no", "ok", "cancel", each optionally followed by "+dontask".
[[nodiscard]] int parseAnswer(const std::string& word, ScriptAnswer* out, std::string* error);
const char* answerWordName(AnswerWord word);

// Decimal or 0x-hexadecimal (with an optional sign), within [low, high].
[[nodiscard]] int parseNumber(const std::string& word, std::int64_t low, std::int64_t high, std::int64_t* out,
                std::string* error);

std::string lowerCase(std::string s);

}  // namespace quorby
