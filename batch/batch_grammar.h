#pragma once
// The batch language's commands, written once: the words that pick each
// form of a command, the word counts it takes, its usage line (shown by a
// script error and by --help), the parser of its arguments and its text in
// --help. batch_script.cpp parses with it, batch_help.cpp writes the help
// from it.
#include <cstddef>
#include <string>
#include <vector>

#include "batch/batch_script.h"

namespace quorby {

enum class HelpSection { Actions, Answers, Limit, Output };

struct BatchForm;

// What the parser of a form sees: the line from its first word on (for the
// commands whose text keeps its blanks), its words, and the form.
struct FormInput {
    const std::string& line;
    const std::vector<std::string>& words;
    const BatchForm& form;
};
using FormParser = int (*)(const FormInput& in, BatchCommand* cmd, std::string* error);

inline constexpr unsigned kAnyWordCount = 1000;
// Traits of a form's command: what may come where in a script.
inline constexpr unsigned kQueues = 1;     // only queues answers or input (or sets), runs before the start
inline constexpr unsigned kAfterExit = 2;  // may follow quit or close

struct BatchForm {
    const char* verb;      // the first word (compared without case)
    const char* sub;       // the word that picks this form among the verb's, or nullptr
    unsigned subAt;        // the index of that word (2 after "window WINDOW")
    const char* usage;     // the usage line
    BatchVerb kind;
    unsigned minWords;     // the line's words, the verb included
    unsigned maxWords;
    FormParser parse;      // checks and takes the arguments; nullptr: there are none
    unsigned traits;       // kQueues, kAfterExit
    HelpSection section;
    // Its text in --help, lines separated by '\n'. "" shares the text of the
    // next form (the forms of a group are listed, then their one text);
    // nullptr hides the form (another spelling of a listed one).
    const char* help;
};

const std::vector<BatchForm>& batchForms();

// The form a line's words name: 0 with *form set; 1 with the error (an
// unknown command, or the usage lines of the command's forms).
[[nodiscard]] int findBatchForm(const std::vector<std::string>& words, const BatchForm** form, std::string* error);

// "usage: " and the usage lines of every listed form of `verb`, joined by " | ".
std::string usageOfVerb(const std::string& verb, const char* prefix = "");

// The command lines of every listed form of `section`, as --help shows them:
// the usage from column 4, the text from column 32 (beside the usage when it
// leaves room, else below it).
std::string helpLinesOf(HelpSection section);

// The traits of a command kind (the union over its forms).
unsigned traitsOf(BatchVerb kind);

}  // namespace quorby
