#include "platform/qt/qt_platform.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <cstdio>

#include "core/tables.h"
#include "platform/qt/dialog_placement.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/glyph_map.h"
#include "platform/qt/key_mapping.h"
#include "platform/qt/modeless_dialog.h"
#include "platform/qt/please_wait_window.h"
#include "platform/qt/screen_areas.h"

namespace quorby {

namespace {

// How long one poll of a long operation lets the window work, and how often
// a poll is due: a few times a second is enough for menus, painting and ESC,
// and costs the operation next to nothing.
constexpr int kPollSliceMs = 10;
constexpr qint64 kPollIntervalMs = 50;
// An operation shows its progress line once it has run this long.
constexpr qint64 kProgressDelayMs = 500;
const QString kTextMime = QStringLiteral("text/plain");

MsgAnswer defaultAnswer(const MessageBoxDescription& box) {
    switch (box.buttons) {
    case MsgButtons::OkCancel: return box.secondIsDefault ? MsgAnswer::Cancel : MsgAnswer::Ok;
    case MsgButtons::YesNo: return box.secondIsDefault ? MsgAnswer::No : MsgAnswer::Yes;
    case MsgButtons::Ok: break;
    }
    return MsgAnswer::Ok;
}

}  // namespace

QtPlatform::QtPlatform(WindowInput* input) : input_(input), window_(std::make_unique<MainWindow>(input)) {}

QtPlatform::~QtPlatform() = default;

void QtPlatform::openModeless(ModelessWindow window, const DialogDescription& dialog) {
    QPoint place;
    const bool replaced = modeless_.count(window) != 0;
    const bool userPlaced = replaced ? movedByUser(window) : userPlaces_.count(window) != 0;
    if (replaced) place = modeless_[window]->pos();
    else if (userPlaced) place = userPlaces_[window];
    forgetModeless(window);
    auto* shown = new ModelessDialog(
        window_.get(), window, dialog,
        [this](const ModelessEvent& event) {
            if (input_) input_->modelessEvent(event);
        },
        [this, window] { forgetModeless(window); });
    modeless_[window] = shown;
    // F3 repeats the search also while the find dialog has the focus.
    if (window == ModelessWindow::Find)
        shown->setKeyForwarder([this](const QKeyEvent& key) {
            if (key.key() != Qt::Key_F3 || !input_) return false;
            const MappedKey mapped = mapQtKey(key.key(), key.modifiers());
            return input_->keyDown(mapped.key, mapped.modifiers);
        });
    const ScreenAreas areas = screenAreas(window_.get());
    const QSize frame = fitInto(areas.screen, shown->size() + areas.decoration);
    if (frame != shown->size() + areas.decoration) shown->resize(frame - areas.decoration);
    if (replaced || userPlaced) {
        // Where the window was, or where the user left it, as far as it is on the screen.
        const QPoint inside = keepInside(areas.screen, place, frame, QRect());
        shown->move(inside);
        placedAt_[window] = userPlaced ? QPoint(-1, -1) : inside;  // a user's place stays his
    } else if (window != ModelessWindow::Values) {  // the logic places the value inspector
        placeOffMarks(window, frame, markedArea(), false);
    }
    shown->show();
}

void QtPlatform::moveModeless(ModelessWindow window, QPoint at) {
    ModelessDialog* d = modelessDialog(window);
    if (!d) return;
    d->move(at);
    placedAt_[window] = at;
}

bool QtPlatform::movedByUser(ModelessWindow window) const {
    const ModelessDialog* d = modelessDialog(window);
    auto at = placedAt_.find(window);
    if (!d || at == placedAt_.end()) return false;
    // A few pixels are the window manager's rounding, not the user's hand.
    return (d->pos() - at->second).manhattanLength() > 4;
}

QRect QtPlatform::markedArea() const {
    const GridWidget* grid = window_->grid();
    const QRect rows = grid->markedRows();
    if (rows.isEmpty()) return rows;
    return QRect(grid->mapToGlobal(rows.topLeft()), rows.size());
}

void QtPlatform::keepModelessOffMarks() {
    marksCheckPending_ = false;
    const QRect marked = markedArea();
    if (marked.isEmpty()) return;
    const ScreenAreas areas = screenAreas(window_.get());
    for (const auto& [which, dialog] : modeless_) {
        if (which == ModelessWindow::Values || !dialog->isVisible()) continue;
        if (movedByUser(which)) continue;  // where the user put it, it stays
        if (!hides(dialog->frameGeometry(), marked)) continue;
        placeOffMarks(which, expectedFrameSize(dialog, areas), marked, true);
    }
}

void QtPlatform::placeOffMarks(ModelessWindow window, QSize frame, const QRect& marked, bool onlyToClear) {
    ModelessDialog* d = modelessDialog(window);
    if (!d) return;
    const ScreenAreas areas = screenAreas(window_.get());
    const QSize least = d->minimumSizeHint().expandedTo(d->minimumSize()) + areas.decoration;
    const QRect place = placeShrinking(areas.screen, areas.mainFrame, frame, least, marked, areas.menuBand);
    if (onlyToClear && hides(place, marked)) return;  // no better place: it stays
    // A window too large for the room beside the marks gets shorter.
    if (place.size() != frame) d->resize(place.size() - areas.decoration);
    moveModeless(window, place.topLeft());
}

void QtPlatform::forgetModeless(ModelessWindow window) {
    auto it = modeless_.find(window);
    if (it == modeless_.end()) return;
    ModelessDialog* gone = it->second;
    if (movedByUser(window)) userPlaces_[window] = gone->pos();
    placedAt_.erase(window);
    modeless_.erase(it);
    gone->hide();
    gone->deleteLater();  // it may be the sender of the event in progress
}

void QtPlatform::closeModeless(ModelessWindow window) { forgetModeless(window); }

bool QtPlatform::modelessOpen(ModelessWindow window) const { return modeless_.count(window) != 0; }

ModelessDialog* QtPlatform::modelessDialog(ModelessWindow window) const {
    auto it = modeless_.find(window);
    return it == modeless_.end() ? nullptr : it->second;
}

void QtPlatform::setModelessVisible(ModelessWindow window, bool visible) {
    if (ModelessDialog* d = modelessDialog(window)) d->setVisible(visible);
}

void QtPlatform::setModelessTitle(ModelessWindow window, const std::string& title) {
    if (ModelessDialog* d = modelessDialog(window)) d->setCaption(fromLogicText(title));
}

void QtPlatform::placeModeless(ModelessWindow window, int column, int row) {
    ModelessDialog* d = modelessDialog(window);
    if (!d || movedByUser(window)) return;  // where the user put it, it stays
    const CellFont& font = window_->grid()->cellFont();
    const QPoint cell = window_->grid()->mapToGlobal(QPoint(column * font.cellWidth, row * font.rowHeight));
    const ScreenAreas areas = screenAreas(window_.get());
    moveModeless(window, keepInside(areas.screen, cell, expectedFrameSize(d, areas), areas.menuBand));
}

void QtPlatform::focusModelessControl(ModelessWindow window, int controlId, bool selectAll) {
    if (ModelessDialog* d = modelessDialog(window)) d->focusControl(controlId, selectAll);
}

void QtPlatform::setModelessControl(ModelessWindow window, const DialogControl& control) {
    if (ModelessDialog* d = modelessDialog(window)) d->setControl(control);
}

DialogDescription QtPlatform::modelessValues(ModelessWindow window) {
    ModelessDialog* d = modelessDialog(window);
    return d ? d->values() : DialogDescription{};
}

void QtPlatform::setListingText(ModelessWindow window, int controlId, const std::string& text) {
    if (ModelessDialog* d = modelessDialog(window)) d->setListingText(controlId, text);
}

void QtPlatform::selectListingText(ModelessWindow window, int controlId, std::size_t start, std::size_t length) {
    if (ModelessDialog* d = modelessDialog(window)) d->selectListingText(controlId, start, length);
}

void QtPlatform::drawCells(int column, int row, const char* text, int count, Colour background) {
    window_->grid()->drawCells(column, row, text, count, background);
    // Once the command is done, no modeless window may hide what it marked.
    if (!modeless_.empty() && !marksCheckPending_) {
        marksCheckPending_ = true;
        QTimer::singleShot(0, window_.get(), [this] { keepModelessOffMarks(); });
    }
}

void QtPlatform::setCaption(const std::string& caption) { window_->setWindowTitle(fromLogicText(caption)); }

void QtPlatform::showOverview(const OverviewStrip& strip) { window_->overview()->setStrip(strip); }

void QtPlatform::setScrollBar(std::int32_t maximum, std::int32_t position) {
    window_->setScrollBarState(maximum, position);
}

void QtPlatform::setMenuItemEnabled(int code, bool enabled) { window_->menus().setItemEnabled(code, enabled); }

void QtPlatform::setMenuItemChecked(int code, bool checked) { window_->menus().setItemChecked(code, checked); }

void QtPlatform::setMenuEnabled(int menuIndex, bool enabled) { window_->menus().setMenuEnabled(menuIndex, enabled); }

void QtPlatform::setRecentFiles(const std::vector<std::string>& entries) { window_->menus().setRecentFiles(entries); }

void QtPlatform::popupMenu(int menuIndex, int column, int row) {
    QMenu* menu = window_->menus().menu(menuIndex);
    if (!menu || unattended_) return;
    const CellFont& font = window_->grid()->cellFont();
    menu->exec(window_->grid()->mapToGlobal(QPoint(column * font.cellWidth, row * font.rowHeight)));
}

MsgAnswer QtPlatform::messageBox(const MessageBoxDescription& box) {
    if (unattended_) {
        std::fprintf(stderr, "quorby: \"%s\" answered with its default button\n", box.caption.c_str());
        return defaultAnswer(box);
    }
    return showMessageBox(window_.get(), box);
}

int QtPlatform::questionDialog(const std::string& caption, const std::string& text) {
    if (unattended_) {
        std::fprintf(stderr, "quorby: \"%s\" answered No\n", caption.c_str());
        return 0;
    }
    return showQuestionDialog(window_.get(), caption, text);
}

FileDialogResult QtPlatform::fileDialog(const FileDialogRequest& request) {
    if (unattended_) return FileDialogResult{};
    return showFileDialog(window_.get(), request);
}

int QtPlatform::runDialog(DialogDescription& dialog) {
    if (unattended_) return dialog.cancelId;
    return runDescribedDialog(window_.get(), dialog);
}

int QtPlatform::runReactiveDialog(DialogDescription& dialog, DialogReaction& reaction) {
    if (unattended_ && dialogScreenshot_.empty()) return dialog.cancelId;
    return runReactiveDescribedDialog(window_.get(), dialog, reaction, dialogScreenshot_);
}

int QtPlatform::createFont(int cellWidth, int cellHeight, int* actualWidth, int* actualHeight) {
    CellFont font;
    if (makeCellFont(cellWidth, cellHeight, &font) != 0) return 1;
    window_->grid()->setCellFont(font);
    *actualWidth = font.cellWidth;
    *actualHeight = font.rowHeight;
    return 0;
}

void QtPlatform::fitWindowToGrid(int cellWidth, int rowHeight) {
    const CellFont& current = window_->grid()->cellFont();
    if (cellWidth != current.cellWidth || rowHeight != current.rowHeight) {
        CellFont font;
        if (makeCellFont(cellWidth, rowHeight, &font) == 0) window_->grid()->setCellFont(font);
    }
    window_->fitToGrid();
    // The window appears once it has the size of its first font, so the
    // window manager never sees another size.
    if (!window_->isVisible()) window_->show();
}

bool QtPlatform::pollPendingInput() {
    GridWidget* grid = window_->grid();
    // Between two due polls the operation runs on; an ESC (or a Cancel)
    // noted meanwhile is answered at once.
    if (pollClock_.isValid() && !pollClock_.hasExpired(kPollIntervalMs)) return grid->takeInterceptedEscape();
    pollClock_.start();
    showReportedProgress();
    ++pollDepth_;
    grid->setEscapeIntercepted(true);
    window_->setLongOperationRunning(true);
    QCoreApplication::processEvents(QEventLoop::AllEvents, kPollSliceMs);
    if (--pollDepth_ == 0) {
        grid->setEscapeIntercepted(false);
        window_->setLongOperationRunning(false);
    }
    return grid->takeInterceptedEscape();
}

void QtPlatform::showProgress(std::uint64_t position, std::uint64_t start, std::uint64_t end) {
    if (!progress_.reported) progressClock_.start();
    progress_ = Progress{position, start, end, true};
}

void QtPlatform::hideProgress() {
    progress_.reported = false;
    window_->hideProgressLine();
}

void QtPlatform::presentNow() { window_->grid()->repaint(); }

void QtPlatform::showReportedProgress() {
    if (!progress_.reported || !progressClock_.hasExpired(kProgressDelayMs)) return;
    char text[20];
    formatPositionText(progress_.position, text);
    const QString where = QStringLiteral("Position") + QString::fromLatin1(text, sizeof text);
    window_->showProgressLine(where, progressPercent(progress_.position, progress_.start, progress_.end));
}

void QtPlatform::clearClipboard() {
    ownFormats_.clear();
    QGuiApplication::clipboard()->clear();
    ownMimeData_ = nullptr;
}

void QtPlatform::setClipboard(const std::string& mimeType, const std::string& data) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString type = QString::fromLatin1(mimeType);
    // A format set a second time, or a clipboard taken over by another
    // program, starts a new content.
    if (clipboard->mimeData() != ownMimeData_ || ownFormats_.count(type)) ownFormats_.clear();
    ownFormats_[type] = QByteArray(data.data(), qsizetype(data.size()));
    auto* content = new QMimeData;
    for (const auto& [format, bytes] : ownFormats_) {
        // Other programs get the characters the window shows (as UTF-8),
        // without the text form's closing zero byte.
        if (format == kTextMime) {
            const QByteArray text = bytes.endsWith('\0') ? bytes.chopped(1) : bytes;
            content->setText(textOfBytes(text.toStdString()));
        } else {
            content->setData(format, bytes);
        }
    }
    clipboard->setMimeData(content);
    ownMimeData_ = clipboard->mimeData();
}

bool QtPlatform::clipboardHas(const std::string& mimeType) {
    const QMimeData* content = QGuiApplication::clipboard()->mimeData();
    if (!content) return false;
    const QString type = QString::fromLatin1(mimeType);
    return type == kTextMime ? content->hasText() : content->hasFormat(type);
}

std::string QtPlatform::clipboardData(const std::string& mimeType) {
    const QMimeData* content = QGuiApplication::clipboard()->mimeData();
    if (!content) return {};
    const QString type = QString::fromLatin1(mimeType);
    if (type == kTextMime) return content->hasText() ? bytesOfText(content->text()) : std::string();
    const QByteArray bytes = content->data(type);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

void QtPlatform::showPleaseWait(bool visible, const std::string& text1067, const std::string& text1068) {
    if (!visible) {
        if (pleaseWait_) pleaseWait_->hide();
        return;
    }
    // Cancel asks to stop the operation as a typed ESC does.
    if (!pleaseWait_)
        pleaseWait_ = std::make_unique<PleaseWaitWindow>(&window(), [this] { window_->grid()->noteInterceptedEscape(); });
    pleaseWait_->setTexts(QString::fromUtf8(text1067.c_str()), QString::fromUtf8(text1068.c_str()));
    if (!pleaseWait_->isVisible()) pleaseWait_->show();
}

void QtPlatform::openHelp(const std::string& path) {
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    if (!QFileInfo::exists(file)) return;  // no manual: help stays silent
    QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

void QtPlatform::quit(int exitCode) {
    quitRequested_ = true;
    exitCode_ = exitCode;
    QCoreApplication::exit(exitCode);
}

}  // namespace quorby
