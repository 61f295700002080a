#include "batch/batch_session.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cinttypes>
#include <cstdlib>

#include "app/window_events.h"
#include "batch/state_report.h"
#include "core/command_codes.h"
#include "edit/clipboard_formats.h"
#include "find/find_dialog.h"
#include "inspect/checksums_command.h"
#include "platform/headless/key_names.h"
#include "platform/headless/modeless_windows.h"
#include "platform/headless/transcript_format.h"
#include "state/compare_sources.h"

namespace quorby {

namespace {

// The processor time this process has used, in seconds.
double processorSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

// One line of the --timing file: the seconds since `started`, the processor
// seconds since `startedCpu`, and what ran.
void noteTiming(const std::string& path, std::chrono::steady_clock::time_point started, double startedCpu,
                const std::string& what) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (std::FILE* f = std::fopen(path.c_str(), "a")) {
        std::fprintf(f, "%.6f %.6f %s\n", seconds, processorSeconds() - startedCpu, what.c_str());
        std::fclose(f);
    }
}

std::string hexText(std::uint64_t v) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%" PRIX64, v);
    return text;
}

constexpr int kWheelNotch = 120;

std::string rowText(const HeadlessPlatform& platform, int row) {
    std::string line = formatGridRow(row, platform.rowCells(row));
    return line.substr(3, kGridColumns);  // without "NN|" and the closing '|'
}

std::string joinNumbers(const std::vector<int>& numbers) {
    std::string text;
    for (int n : numbers) text += (text.empty() ? "" : ",") + std::to_string(n);
    return text.empty() ? "-" : text;
}

}  // namespace

BatchSession::BatchSession(std::FILE* transcript, FileIo& files)
    : transcript_(transcript), files_(files), app_(std::make_unique<AppState>()), platform_(transcript) {
    app_->platform = &platform_;
    app_->files = &files_;
    platform_.setInputDispatcher([this](const InputEvent& event) { return dispatchPending(event); });
}

void BatchSession::reportError(int line, const std::string& message) {
    std::string text = "ERROR line " + std::to_string(line) + ": " + message;
    platform_.writeLine(text);
    if (transcript_ != stderr) std::fprintf(stderr, "%s\n", text.c_str());
}

int BatchSession::run(const std::vector<BatchCommand>& commands, const StartOptions& options) {
    std::size_t next = 0;
    std::string error;
    int status = 0;
    for (; next < commands.size() && isQueueingCommand(commands[next].verb); ++next) {
        platform_.writeLine("> " + commands[next].source);
        if (execute(commands[next], &error) != 0) {
            reportError(commands[next].line, error);
            return 1;
        }
    }
    platform_.startCommandClock();
    startApplication(*app_, options);
    if (app_->shell.destroyed || platform_.quitRequested()) exited_ = true;
    if (settle(&error) != 0) {
        reportError(next < commands.size() ? commands[next].line : 0, "during start-up: " + error);
        status = 1;
    }
    for (; status == 0 && next < commands.size(); ++next) {
        const BatchCommand& cmd = commands[next];
        platform_.writeLine("> " + cmd.source);
        platform_.startCommandClock();
        const auto started = std::chrono::steady_clock::now();
        const double startedCpu = processorSeconds();
        // Queued input waits for the next action; only actions settle it.
        bool failed = execute(cmd, &error) != 0 || (!isQueueingCommand(cmd.verb) && settle(&error) != 0);
        if (!options.timingLog.empty()) noteTiming(options.timingLog, started, startedCpu, cmd.source);
        if (failed) {
            reportError(cmd.line, error);
            status = 1;
        }
    }
    if (status != 0) platform_.clearQueuedAnswers();
    if (!exited_) {
        platform_.startCommandClock();
        // The script ended (or failed) without quitting: close as the window's frame does.
        exitProgram(false);
        if (settle(&error) != 0 && status == 0) {
            reportError(commands.empty() ? 0 : commands.back().line, "during the exit: " + error);
            status = 1;
        }
    }
    if (platform_.queuedAnswers() + platform_.queuedFileAnswers() + platform_.queuedDialogAnswers() +
            platform_.queuedPopupAnswers() != 0)
        platform_.writeLine("NOTE queued answers left unused: " + std::to_string(platform_.queuedAnswers()) +
                            " answer, " + std::to_string(platform_.queuedFileAnswers()) + " file, " +
                            std::to_string(platform_.queuedDialogAnswers()) + " dialog, " +
                            std::to_string(platform_.queuedPopupAnswers()) + " popup");
    return status;
}

int BatchSession::settle(std::string* error) {
    int code = 0;
    // A popup choice arrives as a command after the action that opened the
    // menu; the command may open another popup, but each needs an answer.
    while (!exited_ && platform_.takePostedCommand(&code)) {
        onCommand(*app_, code);
        if (app_->shell.destroyed || platform_.quitRequested()) exited_ = true;
    }
    if (platform_.pendingInputCount() != 0) {
        platform_.writeLine("NOTE " + std::to_string(platform_.pendingInputCount()) +
                            " pending input events were not taken and are dropped");
        platform_.clearPendingInput();
    }
    if (platform_.takeScriptError(error)) return 1;
    return 0;
}

bool BatchSession::dispatchPending(const InputEvent& event) {
    AppState& app = *app_;
    switch (event.kind) {
        case InputEvent::Kind::KeyDown:
            platform_.writeLine("PENDING key down " + keyChordName(event.key, event.modifiers));
            return onKeyDown(app, event.key, event.modifiers);
        case InputEvent::Kind::KeyUp:
            platform_.writeLine("PENDING key up " + keyName(event.key));
            onKeyUp(app, event.key);
            return true;
        case InputEvent::Kind::Char:
            platform_.writeLine("PENDING char " + std::to_string(event.character));
            onChar(app, event.character);
            return true;
        case InputEvent::Kind::Command:
            platform_.writeLine("PENDING command " + std::to_string(event.code));
            onCommand(app, event.code);
            return true;
        case InputEvent::Kind::Wait:
            return true;
        case InputEvent::Kind::Window: {
            platform_.writeLine(std::string("PENDING window ") + modelessWindowName(event.window.window));
            std::string error;
            if (actInWindow(event.window, &error) != 0) platform_.scriptError(error);
            return true;
        }
    }
    return true;
}

void BatchSession::pressKey(const KeyStroke& stroke, bool release) {
    AppState& app = *app_;
    bool accelerator = onKeyDown(app, stroke.key, stroke.modifiers);
    if (!accelerator && !exited_) {
        int character = typedCharacter(stroke.key, stroke.modifiers);
        if (character >= 0) onChar(app, character);
    }
    if (release) onKeyUp(app, stroke.key);
}

void BatchSession::click(const BatchCommand& cmd) {
    AppState& app = *app_;
    int x = int(cmd.numbers[0]) * app.view.cellWidth + app.view.cellWidth / 2;
    int y = int(cmd.numbers[1]) * app.view.rowHeight + app.view.rowHeight / 2;
    switch (cmd.click) {
        case ClickKind::Left:
            onLeftButtonDown(app, x, y, cmd.modifiers);
            onLeftButtonUp(app, x, y);
            break;
        case ClickKind::Double:
            // The order in which a window sees a double click.
            onLeftButtonDown(app, x, y, cmd.modifiers);
            onLeftButtonUp(app, x, y);
            onLeftDoubleClick(app, x, y);
            onLeftButtonUp(app, x, y);
            break;
        case ClickKind::Right:
            onRightButtonDown(app, x, y);
            break;
    }
}

void BatchSession::drag(const BatchCommand& cmd) {
    AppState& app = *app_;
    auto centreX = [&](std::int64_t col) { return int(col) * app.view.cellWidth + app.view.cellWidth / 2; };
    auto centreY = [&](std::int64_t row) { return int(row) * app.view.rowHeight + app.view.rowHeight / 2; };
    int x0 = centreX(cmd.numbers[0]), y0 = centreY(cmd.numbers[1]);
    int x1 = centreX(cmd.numbers[2]), y1 = centreY(cmd.numbers[3]);
    onLeftButtonDown(app, x0, y0, 0);
    // The mouse passes every cell between the two, as a hand would move it.
    std::int64_t steps = std::max(std::abs(cmd.numbers[2] - cmd.numbers[0]), std::abs(cmd.numbers[3] - cmd.numbers[1]));
    for (std::int64_t i = 1; i <= steps; ++i) {
        int x = x0 + int((x1 - x0) * i / steps);
        int y = y0 + int((y1 - y0) * i / steps);
        onMouseMove(app, x, y, true, false);
    }
    onLeftButtonUp(app, x1, y1);
}

void BatchSession::exitProgram(bool byQuitCommand) {
    if (exited_) return;
    if (byQuitCommand) onCommand(*app_, kCmdQuit);
    if (!app_->shell.destroyed) onDestroy(*app_);
    exited_ = true;
}

int BatchSession::queue(const BatchCommand& cmd, std::string* error) {
    switch (cmd.verb) {
        case BatchVerb::Answer:
            for (const ScriptAnswer& a : cmd.answers) platform_.queueAnswer(a);
            return 0;
        case BatchVerb::File:
            platform_.queueFileAnswer({cmd.cancel, cmd.text, cmd.readOnly});
            return 0;
        case BatchVerb::Popup:
            platform_.queuePopupAnswer({cmd.cancel, int(cmd.numbers[0])});
            return 0;
        case BatchVerb::DialogSet:
        case BatchVerb::DialogCheck:
        case BatchVerb::DialogChoose: {
            DialogAction action;
            action.kind = cmd.verb == BatchVerb::DialogSet     ? DialogAction::Kind::Set
                          : cmd.verb == BatchVerb::DialogCheck ? DialogAction::Kind::Check
                                                               : DialogAction::Kind::Choose;
            action.target = cmd.text;
            action.value = cmd.value;
            action.checked = cmd.checked;
            dialogAnswer_.actions.push_back(action);
            dialogAnswerOpen_ = true;
            return 0;
        }
        case BatchVerb::DialogPress:
            dialogAnswer_.press = cmd.text;
            platform_.queueDialogAnswer(dialogAnswer_);
            dialogAnswer_ = DialogAnswer();
            dialogAnswerOpen_ = false;
            return 0;
        case BatchVerb::DialogCancel: {
            if (dialogAnswerOpen_) {
                *error = "dialog cancel after dialog set/check/choose; end those with dialog press";
                return 1;
            }
            DialogAnswer answer;
            answer.cancel = true;
            platform_.queueDialogAnswer(answer);
            return 0;
        }
        case BatchVerb::PendingKey:
            for (const KeyStroke& k : cmd.keys) {
                for (int i = 0; i < k.repeat; ++i) {
                    InputEvent down;
                    down.kind = InputEvent::Kind::KeyDown;
                    down.key = k.key;
                    down.modifiers = k.modifiers;
                    platform_.queuePendingInput(down);
                    InputEvent up = down;
                    up.kind = InputEvent::Kind::KeyUp;
                    platform_.queuePendingInput(up);
                }
            }
            return 0;
        case BatchVerb::PendingType:
            for (char c : cmd.text) {
                InputEvent typed;
                typed.kind = InputEvent::Kind::Char;
                typed.character = static_cast<unsigned char>(c);
                platform_.queuePendingInput(typed);
            }
            return 0;
        case BatchVerb::PendingWait: {
            InputEvent wait;
            wait.kind = InputEvent::Kind::Wait;
            wait.count = int(cmd.numbers[0]);
            platform_.queuePendingInput(wait);
            return 0;
        }
        case BatchVerb::PendingCommand: {
            InputEvent command;
            command.kind = InputEvent::Kind::Command;
            command.code = int(cmd.numbers[0]);
            platform_.queuePendingInput(command);
            return 0;
        }
        case BatchVerb::PendingWindow: {
            InputEvent window;
            window.kind = InputEvent::Kind::Window;
            window.window = cmd.window;
            platform_.queuePendingInput(window);
            return 0;
        }
        case BatchVerb::Echo:
            platform_.writeLine(cmd.text);
            return 0;
        case BatchVerb::Timeout:
            platform_.setTimeLimit(int(cmd.numbers[0]));
            return 0;
        default:
            *error = "internal: not a queueing command";
            return 1;
    }
}

int BatchSession::print(const BatchCommand& cmd, std::string*) {
    int row = int(cmd.numbers[0]);
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "%02d: ", row);
    switch (cmd.verb) {
        case BatchVerb::PrintGrid:
            for (int r = 0; r < kGridRows; ++r) platform_.writeLine(formatGridRow(r, platform_.rowCells(r)));
            break;
        case BatchVerb::PrintRow:
            platform_.writeLine(formatGridRow(row, platform_.rowCells(row)));
            break;
        case BatchVerb::PrintCells:
            platform_.writeLine(prefix + formatCellCodes(platform_.rowCells(row)));
            break;
        case BatchVerb::PrintColours:
            platform_.writeLine(prefix + formatColourRuns(platform_.rowColours(row)));
            break;
        case BatchVerb::PrintState:
            for (auto& [name, value] : stateReport(*app_)) platform_.writeLine(name + "=" + escapeTranscriptText(value));
            break;
        case BatchVerb::PrintCaption:
            platform_.writeLine("CAPTION \"" + escapeTranscriptText(platform_.caption()) + "\"");
            break;
        case BatchVerb::PrintOverview:
            platform_.writeLine(formatOverview(platform_.overview()));
            break;
        case BatchVerb::PrintProgress: {
            const HeadlessPlatform::ProgressRecord& p = platform_.progressRecord();
            platform_.writeLine("PROGRESS reports=" + std::to_string(p.reports) + " from=" + hexText(p.start) +
                                " to=" + hexText(p.end) + " first=" + hexText(p.first) + " last=" + hexText(p.last) +
                                " percent=" + std::to_string(Platform::progressPercent(p.last, p.start, p.end)) +
                                " shown=" + (p.shown ? "yes" : "no"));
            platform_.forgetProgress();
            break;
        }
        case BatchVerb::PrintScrollBar:
            platform_.writeLine("SCROLLBAR maximum=" + std::to_string(platform_.scrollMaximum()) +
                                " position=" + std::to_string(platform_.scrollPosition()));
            break;
        case BatchVerb::PrintMenus: {
            platform_.writeLine("MENUS disabled menus=" + joinNumbers(platform_.disabledMenus()) +
                                " disabled items=" + joinNumbers(platform_.disabledMenuItems()) +
                                " checked items=" + joinNumbers(platform_.checkedMenuItems()));
            const auto& recent = platform_.recentFiles();
            for (std::size_t i = 0; i < recent.size(); ++i)
                platform_.writeLine("RECENT " + std::to_string(i + 2) + " \"" + escapeTranscriptText(recent[i]) + "\"");
            break;
        }
        case BatchVerb::PrintClipboard:
            if (platform_.clipboard().empty()) platform_.writeLine("CLIPBOARD empty");
            for (const auto& [type, data] : platform_.clipboard()) {
                std::string shown = data.substr(0, 64);
                platform_.writeLine("CLIPBOARD " + type + " size=" + std::to_string(data.size()) + " \"" +
                                    escapeTranscriptText(shown) + (data.size() > 64 ? "\"..." : "\""));
            }
            break;
        case BatchVerb::PrintWindow: {
            const OpenModeless* window = platform_.modelessWindow(cmd.window.window);
            if (window == nullptr) {
                platform_.writeLine(std::string("WINDOW ") + modelessWindowName(cmd.window.window) + " not open");
                break;
            }
            std::string text = describeModeless(cmd.window.window, *window);
            text.pop_back();
            platform_.writeLine(text);
            break;
        }
        default:
            break;
    }
    return 0;
}

int BatchSession::actInWindow(const ModelessAction& action, std::string* error) {
    OpenModeless* window = platform_.modelessWindow(action.window);
    if (window == nullptr) {
        *error = std::string("the ") + modelessWindowName(action.window) + " window is not open";
        return 1;
    }
    ModelessEvent event;
    event.window = action.window;
    if (action.kind == ModelessAction::Kind::Close) {
        platform_.closedByUser(action.window);
        event.kind = ModelessEventKind::Closed;
        onModelessEvent(*app_, event);
        return 0;
    }
    bool sends = false;
    if (applyModelessAction(*window, action, &event, &sends, error) != 0) return 1;
    // Acting on another control takes the focus from the edit field that had it.
    const int leftField = window->focused != event.controlId ? window->focused : 0;
    window->focused = action.kind == ModelessAction::Kind::Set ? event.controlId : 0;
    window->focusSelected = false;
    if (leftField != 0) {
        ModelessEvent left;
        left.window = action.window;
        left.kind = ModelessEventKind::FocusLeft;
        left.controlId = leftField;
        onModelessEvent(*app_, left);
    }
    if (sends && platform_.modelessWindow(action.window) != nullptr) onModelessEvent(*app_, event);
    if (sends && event.kind == ModelessEventKind::Edited && platform_.modelessWindow(action.window) != nullptr) {
        event.kind = ModelessEventKind::EditFinished;  // the whole text typed, the field is left
        onModelessEvent(*app_, event);
    }
    return 0;
}

int BatchSession::fillFindDialog(const BatchCommand& cmd, bool replaceLayout, std::string* error) {
    AppState& app = *app_;
    const std::uint32_t mode = app.search.state.searchMode;
    const bool open = platform_.modelessOpen(ModelessWindow::Find) && (mode & kSearchDialogOpen);
    const bool inMode = ((mode & kSearchHexMode) != 0) == cmd.hexSearch;
    auto act = [&](ModelessAction::Kind kind, int id, const std::string& value, bool checked) {
        ModelessAction action;
        action.kind = kind;
        action.window = ModelessWindow::Find;
        action.target = std::to_string(id);
        action.value = value;
        action.checked = checked;
        return actInWindow(action, error);
    };
    if (replaceLayout) {
        if (!open || !app.search.replaceLayout) onCommand(app, kCmdFindReplace);
    } else if (!open || !inMode) {
        onCommand(app, cmd.hexSearch ? kCmdFindHexKey : kCmdFindText);
    }
    if (platform_.modelessWindow(ModelessWindow::Find) == nullptr) {
        *error = "the find dialog did not open";
        return 1;
    }
    // The replace layout chooses text or hex in the dialog itself.
    if (replaceLayout && ((app.search.state.searchMode & kSearchHexMode) != 0) != cmd.hexSearch &&
        act(ModelessAction::Kind::Choose, cmd.hexSearch ? kReplaceHex : kReplaceText, "", true) != 0)
        return 1;
    if (act(ModelessAction::Kind::Set, kFindWhatEdit, cmd.text, true) != 0) return 1;
    if (replaceLayout && act(ModelessAction::Kind::Set, kReplaceWithEdit, cmd.value, true) != 0) return 1;
    if (cmd.searchDirection != 0 &&
        act(ModelessAction::Kind::Choose, cmd.searchDirection == 1 ? kFindDown : kFindUp, "", true) != 0)
        return 1;
    if (!cmd.hexSearch && act(ModelessAction::Kind::Check, kFindMatchCase, "", cmd.matchCase) != 0) return 1;
    return act(ModelessAction::Kind::Check, kFindFromCursor, "", cmd.fromCursor);
}

int BatchSession::pressInFindDialog(int button, std::string* error) {
    ModelessAction action;
    action.kind = ModelessAction::Kind::Press;
    action.window = ModelessWindow::Find;
    action.target = std::to_string(button);
    return actInWindow(action, error);
}

void BatchSession::writeSearchOutcome() {
    const SearchSession& s = app_->search;
    switch (s.lastResult) {
        case SearchResult::Found: {
            char line[48];
            std::snprintf(line, sizeof line, "SEARCH FOUND 0x%" PRIX64, std::uint64_t(s.lastMatch));
            platform_.writeLine(line);
            break;
        }
        case SearchResult::NotFound: platform_.writeLine("SEARCH NOT FOUND"); break;
        case SearchResult::Interrupted: platform_.writeLine("SEARCH INTERRUPTED"); break;
        case SearchResult::Superseded: platform_.writeLine("SEARCH SUPERSEDED"); break;
        case SearchResult::NotRun: platform_.writeLine("SEARCH NOT RUN"); break;
    }
    if (s.state.skipped.count != 0) platform_.writeLine(skippedRangesLine(s.state.skipped));
}

int BatchSession::search(const BatchCommand& cmd, std::string* error) {
    if (fillFindDialog(cmd, false, error) != 0) return 1;
    // After "NOT FOUND" Find Next is greyed until the dialog is opened anew.
    OpenModeless* find = platform_.modelessWindow(ModelessWindow::Find);
    const DialogControl* next = find ? find->dialog.find(kFindNextButton) : nullptr;
    if (next && !next->enabled) {
        platform_.writeLine("SEARCH NOT RUN");
        return 0;
    }
    if (pressInFindDialog(kFindNextButton, error) != 0) return 1;
    writeSearchOutcome();
    return 0;
}

int BatchSession::replace(const BatchCommand& cmd, std::string* error) {
    if (fillFindDialog(cmd, true, error) != 0) return 1;
    const int button = cmd.replaceAll ? kReplaceAllButton : kReplaceButton;
    OpenModeless* find = platform_.modelessWindow(ModelessWindow::Find);
    const DialogControl* pressed = find ? find->dialog.find(button) : nullptr;
    if (pressed && !pressed->enabled) {  // Replace, after "NOT FOUND"
        platform_.writeLine("REPLACE NOT RUN");
        return 0;
    }
    SearchSession& s = app_->search;
    if (pressInFindDialog(button, error) != 0) return 1;
    const std::string count = std::to_string(s.replacedCount);
    switch (s.replaceResult) {
        case ReplaceResult::Done: platform_.writeLine("REPLACED " + count); break;
        case ReplaceResult::Interrupted: platform_.writeLine("REPLACED " + count + " INTERRUPTED"); break;
        case ReplaceResult::Refused:
        case ReplaceResult::NotRun: platform_.writeLine("REPLACE REFUSED"); break;
    }
    if (cmd.replaceAll) {
        if (s.replaceResult != ReplaceResult::Refused && s.state.skipped.count != 0) platform_.writeLine(skippedRangesLine(s.state.skipped));
    } else if (s.replaceResult != ReplaceResult::Refused) {
        writeSearchOutcome();
    }
    return 0;
}

void BatchSession::findDifferences() {
    onCommand(*app_, kCmdFindDifferencesKey);
    const CompareSession& c = app_->compare;
    char line[48];
    switch (c.lastResult) {
        case DifferenceResult::Found:
            std::snprintf(line, sizeof line, "COMPARE DIFFERENCE 0x%" PRIX64, std::uint64_t(c.lastPos));
            platform_.writeLine(line);
            break;
        case DifferenceResult::LengthsDiffer:
            std::snprintf(line, sizeof line, "COMPARE EOF 0x%" PRIX64 " ", std::uint64_t(c.lastPos));
            platform_.writeLine(line + (c.lastEndedMain ? app_->main.mainName : otherSourceName(*app_)));
            break;
        case DifferenceResult::NotFound: platform_.writeLine("COMPARE NOT FOUND"); break;
        case DifferenceResult::Interrupted: platform_.writeLine("COMPARE INTERRUPTED"); break;
        case DifferenceResult::Failed: platform_.writeLine("COMPARE FAILED"); break;
        case DifferenceResult::NotRun: platform_.writeLine("COMPARE NOT RUN"); break;
    }
    if (c.skipped.count != 0 && c.lastResult != DifferenceResult::NotRun)
        platform_.writeLine(skippedRangesLine(c.skipped));
}

void BatchSession::printChecksums(unsigned algorithms) {
    ChecksumResult result;
    switch (inspect::computeChecksums(*app_, algorithms, result)) {
        case inspect::ChecksumOutcome::Done: break;
        case inspect::ChecksumOutcome::Interrupted: platform_.writeLine("CHECKSUMS INTERRUPTED"); return;
        case inspect::ChecksumOutcome::Failed: platform_.writeLine("CHECKSUMS FAILED"); return;
        case inspect::ChecksumOutcome::NotRun: platform_.writeLine("CHECKSUMS NOT RUN"); return;
    }
    char line[64];
    std::snprintf(line, sizeof line, "CHECKSUMS 0x%" PRIX64 " 0x%" PRIX64, std::uint64_t(result.start),
                  std::uint64_t(result.length));
    platform_.writeLine(line);
    for (int i = 0; i < kChecksumAlgorithmCount; ++i)
        if (result.algorithms & checksumAlgorithms()[i].bit) platform_.writeLine(checksumLine(result, i));
    if (result.unreadable.count != 0) platform_.writeLine(inspect::unreadableZerosLine(result.unreadable));
}

int BatchSession::expect(const BatchCommand& cmd, std::string* error) {
    switch (cmd.verb) {
        case BatchVerb::ExpectRow: {
            std::string text = rowText(platform_, int(cmd.numbers[0]));
            if (text.find(cmd.value) != std::string::npos) return 0;
            *error = "expected row " + std::to_string(cmd.numbers[0]) + " to contain \"" +
                     escapeTranscriptText(cmd.value) + "\", it is \"" + text + "\"";
            return 1;
        }
        case BatchVerb::ExpectState: {
            std::string value;
            if (!stateValue(*app_, cmd.text, &value)) {
                *error = "no state value named " + cmd.text + " (see print state)";
                return 1;
            }
            if (value == cmd.value) return 0;
            *error = "expected " + cmd.text + "=" + cmd.value + ", it is " + value;
            return 1;
        }
        case BatchVerb::ExpectCaption:
            if (platform_.caption() == cmd.value) return 0;
            *error = "expected the caption \"" + escapeTranscriptText(cmd.value) + "\", it is \"" +
                     escapeTranscriptText(platform_.caption()) + "\"";
            return 1;
        default:
            return 0;
    }
}

int BatchSession::execute(const BatchCommand& cmd, std::string* error) {
    if (isQueueingCommand(cmd.verb)) return queue(cmd, error);
    switch (cmd.verb) {
        case BatchVerb::PrintGrid: case BatchVerb::PrintRow: case BatchVerb::PrintCells:
        case BatchVerb::PrintColours: case BatchVerb::PrintState: case BatchVerb::PrintCaption:
        case BatchVerb::PrintScrollBar: case BatchVerb::PrintMenus: case BatchVerb::PrintClipboard:
        case BatchVerb::PrintWindow: case BatchVerb::PrintOverview: case BatchVerb::PrintProgress:
            return print(cmd, error);
        case BatchVerb::ExpectRow: case BatchVerb::ExpectState: case BatchVerb::ExpectCaption:
            return expect(cmd, error);
        default:
            break;
    }
    if (dialogAnswerOpen_) {
        *error = "dialog set/check/choose must be ended with dialog press before other commands";
        return 1;
    }
    if (exited_) {
        *error = "the program has already quit";
        return 1;
    }
    AppState& app = *app_;
    switch (cmd.verb) {
        case BatchVerb::Open: {
            // The answer goes first in the queue; if the command never shows
            // its file dialog it must not answer a later, unrelated one.
            std::size_t before = platform_.queuedFileAnswers();
            platform_.queueFileAnswer({false, cmd.text, cmd.readOnly}, true);
            onCommand(app, kCmdOpen);
            if (platform_.queuedFileAnswers() > before) {
                platform_.dropFirstFileAnswer();
                *error = "\"&Open\" showed no file dialog";
                return 1;
            }
            break;
        }
        case BatchVerb::Drive: {
            DialogAnswer answer;
            answer.driveDevice = cmd.text;
            answer.driveReadOnly = cmd.readOnly;
            std::size_t before = platform_.queuedDialogAnswers();
            platform_.queueDialogAnswer(answer, true);
            onCommand(app, kCmdOpenDrive);
            if (platform_.queuedDialogAnswers() > before) {
                platform_.dropFirstDialogAnswer();
                *error = "\"Open &Drive\" showed no drive dialog";
                return 1;
            }
            break;
        }
        case BatchVerb::Command:
            onCommand(app, int(cmd.numbers[0]));
            break;
        case BatchVerb::Key:
            for (const KeyStroke& k : cmd.keys)
                for (int i = 0; i < k.repeat && !exited_; ++i) {
                    pressKey(k, true);
                    if (app.shell.destroyed || platform_.quitRequested()) exited_ = true;
                }
            break;
        case BatchVerb::Hold:
            held_ = cmd.keys.front();
            pressKey(held_, false);
            break;
        case BatchVerb::Release:
            onKeyUp(app, held_.key);
            break;
        case BatchVerb::Type:
            for (char c : cmd.text) onChar(app, static_cast<unsigned char>(c));
            break;
        case BatchVerb::Click:
            click(cmd);
            break;
        case BatchVerb::Drag:
            drag(cmd);
            break;
        case BatchVerb::Wheel:
            onMouseWheel(app, int(cmd.numbers[0]) * kWheelNotch, cmd.modifiers);
            break;
        case BatchVerb::Scroll:
            // Releasing the thumb ends a drag of it: tracking comes first.
            if (cmd.scroll == ScrollAction::ThumbPosition)
                onScroll(app, ScrollAction::ThumbTrack, std::int32_t(cmd.numbers[0]));
            onScroll(app, cmd.scroll, std::int32_t(cmd.numbers[0]));
            break;
        case BatchVerb::Resize:
            onResizeRequest(app, int(cmd.numbers[0]), int(cmd.numbers[1]));
            break;
        case BatchVerb::Paint:
            onPaint(app);
            break;
        case BatchVerb::Overview:
            onOverviewClick(app, int(cmd.numbers[0]));
            break;
        case BatchVerb::Window:
            if (actInWindow(cmd.window, error) != 0) return 1;
            break;
        case BatchVerb::Search:
            if (search(cmd, error) != 0) return 1;
            break;
        case BatchVerb::Replace:
            if (replace(cmd, error) != 0) return 1;
            break;
        case BatchVerb::Compare: {
            std::size_t before = platform_.queuedFileAnswers();
            platform_.queueFileAnswer({false, cmd.text, true}, true);
            onCommand(app, kCmdCompareToFile);
            if (platform_.queuedFileAnswers() > before) {
                platform_.dropFirstFileAnswer();
                *error = "\"To other &File\" showed no file dialog";
                return 1;
            }
            break;
        }
        case BatchVerb::Differences:
            findDifferences();
            break;
        case BatchVerb::PrintChecksums:
            printChecksums(unsigned(cmd.numbers[0]));
            break;
        case BatchVerb::Clipboard:
            // Text as another program leaves it; data as a copy of Quorby does.
            if (cmd.value == "data") {
                putBytesOnClipboard(platform_, std::string(cmd.text));
                break;
            }
            platform_.clearClipboard();
            if (cmd.value == "text") platform_.setClipboard(kMimeText, cmd.text);
            break;
        case BatchVerb::Quit:
            exitProgram(true);
            break;
        case BatchVerb::Close:
            exitProgram(false);
            break;
        default:
            *error = "internal: command not handled";
            return 1;
    }
    if (app.shell.destroyed || platform_.quitRequested()) exited_ = true;
    return 0;
}

}  // namespace quorby
