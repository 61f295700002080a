#include "batch/batch_script.h"

#include "batch/batch_grammar.h"

namespace quorby {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool isAfterExitAllowed(BatchVerb verb) { return (traitsOf(verb) & kAfterExit) != 0; }

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
    const BatchForm* form = nullptr;
    if (findBatchForm(words, &form, error) != 0) return 1;
    if (words.size() < form->minWords || words.size() > form->maxWords) {
        *error = std::string("usage: ") + form->usage;
        return 1;
    }
    cmd.verb = form->kind;
    if (form->parse != nullptr && form->parse(FormInput{line.substr(first), words, *form}, &cmd, error) != 0) return 1;
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

bool isQueueingCommand(BatchVerb verb) { return (traitsOf(verb) & kQueues) != 0; }

}  // namespace quorby
