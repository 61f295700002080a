#pragma once
// The Platform of the window people use: Qt 6 Widgets.
#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <map>
#include <memory>

#include "platform/platform.h"
#include "platform/qt/main_window.h"

class QMimeData;

namespace quorby { class PleaseWaitWindow; class ModelessDialog; }

namespace quorby {

class QtPlatform final : public Platform {
public:
    // `input` receives the user's actions; it must outlive the platform.
    explicit QtPlatform(WindowInput* input);
    ~QtPlatform() override;

    MainWindow& window() { return *window_; }
    bool quitRequested() const { return quitRequested_; }
    // Without a person at the window (the screenshot run): every question
    // takes its default answer, file dialogs and dialogs are cancelled.
    void setUnattended(bool on) { unattended_ = on; }
    // The screenshot run of an open dialog: the next reactive dialog is drawn
    // into this PNG file and closed with its cancel button.
    void setDialogScreenshot(const std::string& path) { dialogScreenshot_ = path; }
    int exitCode() const { return exitCode_; }

    void drawCells(int column, int row, const char* text, int count, Colour background) override;
    void setCaption(const std::string& caption) override;
    void showOverview(const OverviewStrip& strip) override;
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
    void hideProgress() override;
    void presentNow() override;
    void clearClipboard() override;
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

    // The open modeless window, or nullptr (for tests).
    ModelessDialog* modelessDialog(ModelessWindow window) const;
    PleaseWaitWindow* pleaseWaitWindow() const { return pleaseWait_.get(); }

private:
    void forgetModeless(ModelessWindow window);
    // Moves a modeless window's frame to `at` and notes it as the program's place.
    void moveModeless(ModelessWindow window, QPoint at);
    // The user has moved the window away from where the program put it.
    bool movedByUser(ModelessWindow window) const;
    // The grid rows with the selection, a match or the cursor, on the screen.
    QRect markedArea() const;
    // Moves a modeless window that hides those rows beside the main window.
    void keepModelessOffMarks();
    // Shows the position last reported once the operation has run a moment.
    void showReportedProgress();
    // Places a window of that frame size where it hides neither the marked
    // rows nor the menu bar, shorter when it must (with `onlyToClear` it
    // stays when no place leaves the rows in view).
    void placeOffMarks(ModelessWindow window, QSize frame, const QRect& marked, bool onlyToClear);

    WindowInput* input_;
    std::unique_ptr<MainWindow> window_;
    std::map<ModelessWindow, ModelessDialog*> modeless_;  // children of the main window
    std::map<ModelessWindow, QPoint> placedAt_;   // where the program last put each window
    std::map<ModelessWindow, QPoint> userPlaces_; // where the user left a window he moved, over closings
    std::unique_ptr<PleaseWaitWindow> pleaseWait_;  // destroyed before its parent window
    // The formats of the clipboard content this program put there last; a
    // copy sets several formats one after the other.
    std::map<QString, QByteArray> ownFormats_;
    const QMimeData* ownMimeData_ = nullptr;
    int pollDepth_ = 0;
    // A long operation polls after every step; the window gets the events
    // only when this clock says a poll is due.
    QElapsedTimer pollClock_;
    // The position the operation reported last, and since when it reports.
    struct Progress {
        std::uint64_t position = 0, start = 0, end = 0;
        bool reported = false;
    } progress_;
    QElapsedTimer progressClock_;
    bool marksCheckPending_ = false;
    bool quitRequested_ = false;
    bool unattended_ = false;
    std::string dialogScreenshot_;
    int exitCode_ = 0;
};

}  // namespace quorby
