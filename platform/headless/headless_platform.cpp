#include "platform/headless/headless_platform.h"

#include <cstring>

#include "platform/headless/dialog_filler.h"
#include "platform/headless/key_names.h"
#include "platform/headless/script_words.h"
#include "platform/headless/transcript_format.h"

namespace quorby {

namespace {

// Whether a queued answer is one of the box's buttons.
bool answerFits(MsgButtons buttons, AnswerWord word) {
    switch (buttons) {
        case MsgButtons::Ok: return word == AnswerWord::Ok;
        case MsgButtons::OkCancel: return word == AnswerWord::Ok || word == AnswerWord::Cancel;
        case MsgButtons::YesNo: return word == AnswerWord::Yes || word == AnswerWord::No;
    }
    return false;
}

MsgAnswer toMsgAnswer(AnswerWord word) {
    switch (word) {
        case AnswerWord::Yes: return MsgAnswer::Yes;
        case AnswerWord::No: return MsgAnswer::No;
        case AnswerWord::Ok: return MsgAnswer::Ok;
        case AnswerWord::Cancel: return MsgAnswer::Cancel;
    }
    return MsgAnswer::Cancel;
}

MsgAnswer defaultAnswer(const MessageBoxDescription& box) {
    switch (box.buttons) {
        case MsgButtons::Ok: return MsgAnswer::Ok;
        case MsgButtons::OkCancel: return box.secondIsDefault ? MsgAnswer::Cancel : MsgAnswer::Ok;
        case MsgButtons::YesNo: return box.secondIsDefault ? MsgAnswer::No : MsgAnswer::Yes;
    }
    return MsgAnswer::Ok;
}

}  // namespace

HeadlessPlatform::HeadlessPlatform(std::FILE* transcript) : transcript_(transcript) {
    std::memset(cells_, ' ', sizeof cells_);
    for (auto& row : colours_)
        for (Colour& c : row) c = 0xFFFFFF;
}

void HeadlessPlatform::writeLine(const std::string& line) {
    if (transcript_ == nullptr) return;
    std::fputs(line.c_str(), transcript_);
    std::fputc('\n', transcript_);
    std::fflush(transcript_);
}

void HeadlessPlatform::scriptError(const std::string& message) {
    scriptErrors_.push_back(message);
}

bool HeadlessPlatform::takeScriptError(std::string* message) {
    if (scriptErrors_.empty()) return false;
    *message = scriptErrors_.front();
    scriptErrors_.clear();
    return true;
}

void HeadlessPlatform::drawCells(int column, int row, const char* text, int count, Colour background) {
    if (row < 0 || row >= kGridRows || text == nullptr) return;
    for (int i = 0; i < count; ++i) {
        int c = column + i;
        if (c < 0) continue;
        if (c >= kGridColumns) break;
        cells_[row][c] = text[i];
        colours_[row][c] = background;
    }
}

void HeadlessPlatform::setCaption(const std::string& caption) { caption_ = caption; }

void HeadlessPlatform::setScrollBar(std::int32_t maximum, std::int32_t position) {
    scrollMaximum_ = maximum;
    scrollPosition_ = position;
}

void HeadlessPlatform::setMenuItemEnabled(int code, bool enabled) { itemEnabled_[code] = enabled; }

void HeadlessPlatform::setMenuItemChecked(int code, bool checked) { itemChecked_[code] = checked; }

std::vector<int> HeadlessPlatform::checkedMenuItems() const {
    std::vector<int> out;
    for (const auto& [code, checked] : itemChecked_)
        if (checked) out.push_back(code);
    return out;
}

void HeadlessPlatform::setMenuEnabled(int menuIndex, bool enabled) { menuEnabled_[menuIndex] = enabled; }

void HeadlessPlatform::setRecentFiles(const std::vector<std::string>& entries) { recentFiles_ = entries; }

std::vector<int> HeadlessPlatform::disabledMenuItems() const {
    std::vector<int> out;
    for (const auto& [code, enabled] : itemEnabled_)
        if (!enabled) out.push_back(code);
    return out;
}

std::vector<int> HeadlessPlatform::disabledMenus() const {
    std::vector<int> out;
    for (const auto& [index, enabled] : menuEnabled_)
        if (!enabled) out.push_back(index);
    return out;
}

void HeadlessPlatform::popupMenu(int menuIndex, int column, int row) {
    std::string line = "POPUP menu " + std::to_string(menuIndex) + " at " + std::to_string(column) + "," +
                       std::to_string(row) + " -> ";
    if (popupAnswers_.empty()) {
        writeLine(line + "cancel (no answer queued)");
        return;
    }
    PopupAnswer answer = popupAnswers_.front();
    popupAnswers_.pop_front();
    if (answer.cancel) {
        writeLine(line + "cancel");
        return;
    }
    writeLine(line + std::to_string(answer.code));
    postedCommands_.push_back(answer.code);
}

bool HeadlessPlatform::takePostedCommand(int* code) {
    if (postedCommands_.empty()) return false;
    *code = postedCommands_.front();
    postedCommands_.pop_front();
    return true;
}

MsgAnswer HeadlessPlatform::messageBox(const MessageBoxDescription& box) {
    std::string line = "MESSAGE " + escapeTranscriptText(box.caption) + " | " + escapeTranscriptText(box.text) +
                       " | " + formatButtons(box) + " -> ";
    MsgAnswer answer = defaultAnswer(box);
    if (answers_.empty()) {
        writeLine(line + answerName(answer) + " (default)");
        return answer;
    }
    ScriptAnswer queued = answers_.front();
    answers_.pop_front();
    if (!answerFits(box.buttons, queued.word)) {
        writeLine(line + answerName(answer) + " (default; queued answer " + answerWordName(queued.word) +
                  " does not fit)");
        scriptError(std::string("queued answer ") + answerWordName(queued.word) + " does not fit the message \"" +
                    escapeTranscriptText(box.caption) + "\"");
        return answer;
    }
    answer = toMsgAnswer(queued.word);
    writeLine(line + answerName(answer));
    return answer;
}

int HeadlessPlatform::questionDialog(const std::string& caption, const std::string& text) {
    // Without a queued answer the question takes No: every optional question
    // asks for an action on a file, and No leaves the files as they are.
    std::string line = "MESSAGE " + escapeTranscriptText(caption) + " | " + escapeTranscriptText(text) +
                       " | yes/[no] +dontask -> ";
    if (answers_.empty()) {
        writeLine(line + "no (default)");
        return 0;
    }
    ScriptAnswer queued = answers_.front();
    answers_.pop_front();
    if (queued.word != AnswerWord::Yes && queued.word != AnswerWord::No) {
        writeLine(line + "no (default; queued answer " + answerWordName(queued.word) + " does not fit)");
        scriptError(std::string("queued answer ") + answerWordName(queued.word) + " does not fit the question \"" +
                    escapeTranscriptText(caption) + "\"");
        return 0;
    }
    int bits = (queued.word == AnswerWord::Yes ? kAnswerYes : 0) | (queued.dontAsk ? kAnswerDontAsk : 0);
    writeLine(line + answerWordName(queued.word) + (queued.dontAsk ? "+dontask" : ""));
    return bits;
}

void HeadlessPlatform::queueFileAnswer(const FileAnswer& answer, bool first) {
    if (first) fileAnswers_.push_front(answer);
    else fileAnswers_.push_back(answer);
}

void HeadlessPlatform::queueDialogAnswer(const DialogAnswer& answer, bool first) {
    if (first) dialogAnswers_.push_front(answer);
    else dialogAnswers_.push_back(answer);
}

FileDialogResult HeadlessPlatform::fileDialog(const FileDialogRequest& request) {
    std::string line = std::string("FILE ") + (request.save ? "save" : "open") + " \"" +
                       escapeTranscriptText(request.title) + "\" -> ";
    FileDialogResult result;
    if (fileAnswers_.empty()) {
        writeLine(line + "cancel (no answer queued)");
        return result;
    }
    FileAnswer answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    if (answer.cancel) {
        writeLine(line + "cancel");
        return result;
    }
    result.accepted = true;
    result.path = answer.path;
    result.readOnly = request.showReadOnlyBox ? answer.readOnly : false;
    writeLine(line + escapeTranscriptText(answer.path) + (result.readOnly ? " (readonly)" : ""));
    return result;
}

void HeadlessPlatform::writeDialog(const DialogDescription& dialog) {
    writeLine("DIALOG \"" + escapeTranscriptText(dialog.title) + "\"");
    std::string controls = describeDialogControls(dialog);
    if (!controls.empty()) {
        controls.pop_back();
        writeLine(controls);
    }
}

bool HeadlessPlatform::takeDialogAnswer(const DialogDescription& dialog, DialogAnswer* answer) {
    if (dialogAnswers_.empty()) {
        writeLine("DIALOG \"" + escapeTranscriptText(dialog.title) + "\" -> cancel (no answer queued)");
        return false;
    }
    *answer = dialogAnswers_.front();
    dialogAnswers_.pop_front();
    return true;
}

int HeadlessPlatform::runDialog(DialogDescription& dialog) {
    writeDialog(dialog);
    std::string result = "DIALOG \"" + escapeTranscriptText(dialog.title) + "\" -> ";
    DialogAnswer answer;
    if (!takeDialogAnswer(dialog, &answer)) return dialog.cancelId;
    int closingId = dialog.cancelId;
    std::string error;
    if (applyDialogAnswer(dialog, answer, &closingId, &error) != 0) {
        writeLine(result + "cancel (" + error + ")");
        scriptError(error);
        return dialog.cancelId;
    }
    writeLine(result + (closingId == dialog.cancelId ? "cancel" : std::to_string(closingId)));
    return closingId;
}

// Each queued answer acts on the open dialog one action at a time, the
// reaction following each; a button that does not close the dialog reacts and
// the next queued answer goes on in the same dialog.
int HeadlessPlatform::runReactiveDialog(DialogDescription& dialog, DialogReaction& reaction) {
    const std::string result = "DIALOG \"" + escapeTranscriptText(dialog.title) + "\" -> ";
    for (;;) {
        writeDialog(dialog);
        DialogAnswer answer;
        if (!takeDialogAnswer(dialog, &answer)) return dialog.cancelId;
        std::string error;
        int pressed = dialog.cancelId;
        for (const DialogAction& action : answer.actions) {
            const int id = applyDialogAction(dialog, action, &error);
            if (id < 0) break;
            reaction.react(dialog, id);
        }
        if (error.empty() && !answer.cancel) {
            DialogDescription pressedIn = dialog;
            DialogAnswer press;
            press.press = answer.press;
            if (applyDialogAnswer(pressedIn, press, &pressed, &error) != 0) pressed = dialog.cancelId;
        }
        if (!error.empty()) {
            writeLine(result + "cancel (" + error + ")");
            scriptError(error);
            return dialog.cancelId;
        }
        if (pressed == dialog.okId || pressed == dialog.cancelId) {
            writeLine(result + (pressed == dialog.cancelId ? "cancel" : std::to_string(pressed)));
            return pressed;
        }
        writeLine(result + std::to_string(pressed) + " (the dialog stays open)");
        reaction.react(dialog, pressed);
    }
}

int HeadlessPlatform::createFont(int cellWidth, int cellHeight, int* actualWidth, int* actualHeight) {
    if (cellWidth <= 0 || cellHeight <= 0) return 1;
    *actualWidth = cellWidth;
    *actualHeight = cellHeight;
    return 0;
}

void HeadlessPlatform::fitWindowToGrid(int cellWidth, int rowHeight) {
    windowWidth_ = cellWidth * kGridColumns;
    windowHeight_ = rowHeight * kGridRows;
}

void HeadlessPlatform::clearQueuedAnswers() {
    answers_.clear();
    fileAnswers_.clear();
    popupAnswers_.clear();
    dialogAnswers_.clear();
}

void HeadlessPlatform::startCommandClock() {
    timedOut_ = false;
    if (timeLimitSeconds_ > 0)
        deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(timeLimitSeconds_);
}

void HeadlessPlatform::showProgress(std::uint64_t position, std::uint64_t start, std::uint64_t end) {
    if (progress_.reports++ == 0) progress_.first = position;
    progress_.last = position;
    progress_.start = start;
    progress_.end = end;
    progress_.shown = true;
}

bool HeadlessPlatform::pollPendingInput() {
    if (timeLimitSeconds_ > 0 && !timedOut_ && std::chrono::steady_clock::now() > deadline_) {
        timedOut_ = true;
        writeLine("TIMEOUT the command ran longer than " + std::to_string(timeLimitSeconds_) + " s: ESC typed");
        scriptError("the command ran longer than " + std::to_string(timeLimitSeconds_) + " s and was interrupted");
        InputEvent down;
        down.kind = InputEvent::Kind::KeyDown;
        down.key = Key::Escape;
        InputEvent up = down;
        up.kind = InputEvent::Kind::KeyUp;
        pending_.clear();
        pending_.push_back(down);
        pending_.push_back(up);
        answers_.clear();
        answers_.push_back(ScriptAnswer{AnswerWord::Yes, false});
    }
    if (pending_.empty()) return false;
    InputEvent& front = pending_.front();
    if (front.kind == InputEvent::Kind::Wait) {
        if (--front.count <= 0) pending_.pop_front();
        return false;
    }
    InputEvent event = front;
    pending_.pop_front();
    if (!dispatch_) return false;
    bool accelerator = dispatch_(event);
    if (event.kind == InputEvent::Kind::KeyDown && !accelerator) {
        // Like a translated key message: the typed character comes next.
        int character = typedCharacter(event.key, event.modifiers);
        if (character >= 0) {
            InputEvent typed;
            typed.kind = InputEvent::Kind::Char;
            typed.character = character;
            pending_.push_front(typed);
        }
    }
    return event.kind == InputEvent::Kind::Char && event.character == 27;
}

void HeadlessPlatform::setClipboard(const std::string& mimeType, const std::string& data) {
    clipboard_[mimeType] = data;
}

bool HeadlessPlatform::clipboardHas(const std::string& mimeType) { return clipboard_.count(mimeType) != 0; }

std::string HeadlessPlatform::clipboardData(const std::string& mimeType) {
    auto it = clipboard_.find(mimeType);
    return it == clipboard_.end() ? std::string() : it->second;
}

void HeadlessPlatform::showPleaseWait(bool visible, const std::string& text1067, const std::string& text1068) {
    // Opening and closing are reported; the refreshes in between would flood
    // the transcript, so only the texts the window closes with are shown.
    if (visible == pleaseWaitShown_) {
        lastPleaseWait_ = text1067 + " | " + text1068;
        return;
    }
    pleaseWaitShown_ = visible;
    if (visible) lastPleaseWait_ = text1067 + " | " + text1068;
    writeLine(std::string("WINDOW Please wait ... ") + (visible ? "opened | " : "closed | ") +
              escapeTranscriptText(lastPleaseWait_));
}

void HeadlessPlatform::openModeless(ModelessWindow window, const DialogDescription& dialog) {
    OpenModeless& w = modeless_[window];
    w = OpenModeless{};
    w.dialog = dialog;
    writeLine(std::string("WINDOW ") + modelessWindowName(window) + " opened \"" + escapeTranscriptText(dialog.title) +
              "\"");
}

void HeadlessPlatform::closeModeless(ModelessWindow window) {
    if (modeless_.erase(window) != 0) writeLine(std::string("WINDOW ") + modelessWindowName(window) + " closed");
}

bool HeadlessPlatform::modelessOpen(ModelessWindow window) const { return modeless_.count(window) != 0; }

OpenModeless* HeadlessPlatform::modelessWindow(ModelessWindow window) {
    auto it = modeless_.find(window);
    return it == modeless_.end() ? nullptr : &it->second;
}

void HeadlessPlatform::closedByUser(ModelessWindow window) {
    if (modeless_.erase(window) != 0)
        writeLine(std::string("WINDOW ") + modelessWindowName(window) + " closed by the user");
}

void HeadlessPlatform::setModelessVisible(ModelessWindow window, bool visible) {
    OpenModeless* w = modelessWindow(window);
    if (w == nullptr || w->visible == visible) return;
    w->visible = visible;
    writeLine(std::string("WINDOW ") + modelessWindowName(window) + (visible ? " shown" : " hidden"));
}

void HeadlessPlatform::setModelessTitle(ModelessWindow window, const std::string& title) {
    if (OpenModeless* w = modelessWindow(window)) w->dialog.title = title;
}

void HeadlessPlatform::placeModeless(ModelessWindow window, int column, int row) {
    OpenModeless* w = modelessWindow(window);
    if (w == nullptr) return;
    w->column = column;
    w->row = row;
}

void HeadlessPlatform::focusModelessControl(ModelessWindow window, int controlId, bool selectAll) {
    OpenModeless* w = modelessWindow(window);
    if (w == nullptr) return;
    w->focused = controlId;
    w->focusSelected = selectAll;
}

void HeadlessPlatform::setModelessControl(ModelessWindow window, const DialogControl& control) {
    OpenModeless* w = modelessWindow(window);
    if (w == nullptr) return;
    if (DialogControl* c = w->dialog.find(control.id)) {
        c->text = control.text;
        c->value = control.value;
        c->checked = control.checked;
        c->enabled = control.enabled;
        c->visible = control.visible;
    }
}

DialogDescription HeadlessPlatform::modelessValues(ModelessWindow window) {
    OpenModeless* w = modelessWindow(window);
    return w ? w->dialog : DialogDescription{};
}

void HeadlessPlatform::setListingText(ModelessWindow window, int controlId, const std::string& text) {
    OpenModeless* w = modelessWindow(window);
    if (w == nullptr) return;
    w->listings[controlId] = text;
    w->selections[controlId] = {0, 0};
}

void HeadlessPlatform::selectListingText(ModelessWindow window, int controlId, std::size_t start, std::size_t length) {
    OpenModeless* w = modelessWindow(window);
    if (w == nullptr) return;
    const std::size_t size = w->listings[controlId].size();
    if (start > size) start = size;
    if (length > size - start) length = size - start;
    w->selections[controlId] = {start, length};
}

void HeadlessPlatform::openHelp(const std::string& path) { writeLine("HELP " + escapeTranscriptText(path)); }

void HeadlessPlatform::quit(int exitCode) {
    quitRequested_ = true;
    quitCode_ = exitCode;
}

}  // namespace quorby
