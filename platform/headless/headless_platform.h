#pragma once
// The platform without a window: the 88 x 34 grid of characters and colours in
// memory, answers to questions and dialogs from queues that a batch script
// fills, and every message box, dialog and file dialog written to a transcript.
#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>
#include "platform/headless/modeless_windows.h"
#include "platform/headless/script_answers.h"
#include "platform/platform.h"

namespace quorby {

class HeadlessPlatform final : public Platform {
public:
    // `transcript` may be null (nothing is written).
    explicit HeadlessPlatform(std::FILE* transcript);

    // ---- Platform ----
    void drawCells(int column, int row, const char* text, int count, Colour background) override;
    void setCaption(const std::string& caption) override;
    void showOverview(const OverviewStrip& strip) override { overview_ = strip; }
    void setScrollBar(std::int32_t maximum, std::int32_t position) override;
    void setMenuItemEnabled(int code, bool enabled) override;
    void setMenuItemChecked(int code, bool checked) override;
    void setMenuEnabled(int menuIndex, bool enabled) override;
    void setRecentFiles(const std::vector<std::string>& entries) override;
    void popupMenu(int menuIndex, int column, int row) override;
    MsgAnswer messageBox(const MessageBoxDescription& box) override;
    int questionDialog(const std::string& caption, const std::string& text) override;
    FileDialogResult fileDialog(const FileDialogRequest& request) override;
    int runDialog(DialogDescription& dialog) override;
    int runReactiveDialog(DialogDescription& dialog, DialogReaction& reaction) override;
    int createFont(int cellWidth, int cellHeight, int* actualWidth, int* actualHeight) override;
    void fitWindowToGrid(int cellWidth, int rowHeight) override;
    bool pollPendingInput() override;
    void showProgress(std::uint64_t position, std::uint64_t start, std::uint64_t end) override;
    void hideProgress() override { progress_.shown = false; }
    void clearClipboard() override { clipboard_.clear(); }
    void setClipboard(const std::string& mimeType, const std::string& data) override;
    bool clipboardHas(const std::string& mimeType) override;
    std::string clipboardData(const std::string& mimeType) override;
    void showPleaseWait(bool visible, const std::string& text1067, const std::string& text1068) override;
    void openModeless(ModelessWindow window, const DialogDescription& dialog) override;
    void closeModeless(ModelessWindow window) override;
    bool modelessOpen(ModelessWindow window) const override;
    void setModelessVisible(ModelessWindow window, bool visible) override;
    void setModelessTitle(ModelessWindow window, const std::string& title) override;
    void placeModeless(ModelessWindow window, int column, int row) override;
    void focusModelessControl(ModelessWindow window, int controlId, bool selectAll) override;
    void setModelessControl(ModelessWindow window, const DialogControl& control) override;
    DialogDescription modelessValues(ModelessWindow window) override;
    void setListingText(ModelessWindow window, int controlId, const std::string& text) override;
    void selectListingText(ModelessWindow window, int controlId, std::size_t start, std::size_t length) override;
    void openHelp(const std::string& path) override;
    void quit(int exitCode) override;

    // ---- the open modeless windows ----
    // nullptr when the window is not open.
    OpenModeless* modelessWindow(ModelessWindow window);
    // The user closed it by its frame: it is gone before the logic hears of it.
    void closedByUser(ModelessWindow window);

    // ---- queues the script fills ----
    void queueAnswer(const ScriptAnswer& answer) { answers_.push_back(answer); }
    void queueFileAnswer(const FileAnswer& answer, bool first = false);
    void queuePopupAnswer(const PopupAnswer& answer) { popupAnswers_.push_back(answer); }
    void queueDialogAnswer(const DialogAnswer& answer, bool first = false);
    void queuePendingInput(const InputEvent& event) { pending_.push_back(event); }
    // Takes back the first queued answer (one that its dialog never asked for).
    void dropFirstFileAnswer() { if (!fileAnswers_.empty()) fileAnswers_.pop_front(); }
    void dropFirstDialogAnswer() { if (!dialogAnswers_.empty()) dialogAnswers_.pop_front(); }

    std::size_t queuedAnswers() const { return answers_.size(); }
    std::size_t queuedFileAnswers() const { return fileAnswers_.size(); }
    std::size_t queuedDialogAnswers() const { return dialogAnswers_.size(); }
    std::size_t queuedPopupAnswers() const { return popupAnswers_.size(); }
    std::size_t pendingInputCount() const { return pending_.size(); }
    void clearPendingInput() { pending_.clear(); }
    // Forgets every queued answer: after a script error the exit questions
    // take their defaults instead of answers meant for other questions.
    void clearQueuedAnswers();

    // A time limit for each command (0: none). A long operation that is still
    // polling when it has passed gets a typed ESC with Yes queued for its
    // question, and the script fails.
    void setTimeLimit(int seconds) { timeLimitSeconds_ = seconds; }
    void startCommandClock();

    // Delivers one pending event to the logic; returns true when the event was
    // a key stroke that is not an accelerator (a typed character follows it).
    using InputDispatcher = std::function<bool(const InputEvent&)>;
    void setInputDispatcher(InputDispatcher dispatcher) { dispatch_ = std::move(dispatcher); }

    // Menu commands chosen in popup menus arrive after the action that opened
    // the menu, as with a posted command message.
    bool takePostedCommand(int* code);

    // A queued answer that did not fit the question, or a dialog answer that
    // did not fit the dialog: the script is wrong. Cleared by taking it.
    bool takeScriptError(std::string* message);

    // ---- what the script prints ----
    // The progress reports of long operations since forgetProgress.
    struct ProgressRecord {
        std::uint64_t reports = 0;
        std::uint64_t start = 0, end = 0;   // the way of the last report
        std::uint64_t first = 0, last = 0;  // the first and the last position reported
        bool shown = false;                 // reported and not hidden since
    };
    const ProgressRecord& progressRecord() const { return progress_; }
    void forgetProgress() {
        const bool shown = progress_.shown;
        progress_ = ProgressRecord{};
        progress_.shown = shown;
    }
    const char* rowCells(int row) const { return cells_[row]; }
    const Colour* rowColours(int row) const { return colours_[row]; }
    const std::string& caption() const { return caption_; }
    const OverviewStrip& overview() const { return overview_; }
    std::int32_t scrollMaximum() const { return scrollMaximum_; }
    std::int32_t scrollPosition() const { return scrollPosition_; }
    // Codes and menu indexes that are greyed now.
    std::vector<int> disabledMenuItems() const;
    std::vector<int> checkedMenuItems() const;
    std::vector<int> disabledMenus() const;
    const std::vector<std::string>& recentFiles() const { return recentFiles_; }
    const std::map<std::string, std::string>& clipboard() const { return clipboard_; }
    int windowWidth() const { return windowWidth_; }
    int windowHeight() const { return windowHeight_; }
    bool quitRequested() const { return quitRequested_; }
    int quitCode() const { return quitCode_; }

    void writeLine(const std::string& line);
    // A script line that does not fit what the program shows; the script fails.
    void scriptError(const std::string& message);

private:
    void writeDialog(const DialogDescription& dialog);
    // The next queued dialog answer; false (and a transcript line) when none is queued.
    bool takeDialogAnswer(const DialogDescription& dialog, DialogAnswer* answer);

    std::FILE* transcript_;
    bool pleaseWaitShown_ = false;
    ProgressRecord progress_;
    std::string lastPleaseWait_;
    char cells_[kGridRows][kGridColumns];
    Colour colours_[kGridRows][kGridColumns];
    std::string caption_;
    OverviewStrip overview_;
    std::int32_t scrollMaximum_ = 0;
    std::int32_t scrollPosition_ = 0;
    std::map<int, bool> itemEnabled_;
    std::map<int, bool> itemChecked_;
    std::map<int, bool> menuEnabled_;
    std::vector<std::string> recentFiles_;
    std::map<std::string, std::string> clipboard_;
    std::map<ModelessWindow, OpenModeless> modeless_;
    int windowWidth_ = 0;
    int windowHeight_ = 0;
    bool quitRequested_ = false;
    int quitCode_ = 0;

    std::deque<ScriptAnswer> answers_;
    std::deque<FileAnswer> fileAnswers_;
    std::deque<PopupAnswer> popupAnswers_;
    std::deque<DialogAnswer> dialogAnswers_;
    std::deque<InputEvent> pending_;
    std::deque<int> postedCommands_;
    std::vector<std::string> scriptErrors_;
    InputDispatcher dispatch_;
    int timeLimitSeconds_ = 0;
    std::chrono::steady_clock::time_point deadline_{};
    bool timedOut_ = false;
};

}  // namespace quorby
