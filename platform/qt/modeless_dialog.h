#pragma once
// A modeless window of the program (the find dialog, the disassembly
// window), built from its DialogDescription. What the user does in it goes to the
// logic as ModelessEvents; what the logic sets (texts, values, the listing's
// text and selection) sends none.
#include <QDialog>
#include <cstddef>
#include <functional>
#include <map>
#include <vector>

#include "platform/platform.h"

class QKeyEvent;
class QPlainTextEdit;

namespace quorby {

class ModelessDialog final : public QDialog {
    Q_OBJECT
public:
    using EventSink = std::function<void(const ModelessEvent&)>;
    // Offered every key that the window's controls leave unused; true when it took the key.
    using KeyForwarder = std::function<bool(const QKeyEvent&)>;
    // `closedByUser` runs when the user closes the window (frame or ESC),
    // before the Closed event goes to `sink`.
    ModelessDialog(QWidget* parent, ModelessWindow which, const DialogDescription& dialog, EventSink sink,
                   std::function<void()> closedByUser);
    // The edit fields lose the focus while the window goes away: they report nothing then.
    ~ModelessDialog() override;

    void setControl(const DialogControl& control);
    // A new caption; the window grows when the caption needs more width.
    void setCaption(const QString& caption);
    // The controls with their present values.
    DialogDescription values() const;
    // Listing text in Windows-1252, lines ending with CR LF (or LF).
    void setListingText(int controlId, const std::string& text);
    // Start and length are offsets in the text as it was set.
    void selectListingText(int controlId, std::size_t start, std::size_t length);
    QWidget* controlWidget(int controlId) const;
    // Gives the focus to an edit field, its text selected or the caret at its end.
    void focusControl(int controlId, bool selectAll);
    void setKeyForwarder(KeyForwarder forwarder) { keyForwarder_ = std::move(forwarder); }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Reports the edit fields that lose the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    struct Listing {
        QPlainTextEdit* edit = nullptr;
        std::vector<std::size_t> lineStarts;  // offset of each line in the logic's text
        std::vector<std::size_t> lineLengths; // without the line end
    };

    QWidget* makeWidget(const DialogControl& control);
    void widenForCaption();
    void send(ModelessEventKind kind, int controlId, bool checked = false, std::size_t caret = 0);
    void caretMoved(int controlId);
    int qtPosition(const Listing& listing, std::size_t offset) const;

    ModelessWindow which_;
    DialogDescription dialog_;
    EventSink sink_;
    std::function<void()> closedByUser_;
    KeyForwarder keyForwarder_;
    std::map<int, QWidget*> widgets_;
    std::map<int, Listing> listings_;
    bool logicSets_ = false;  // the logic changes the window: no events
    bool closing_ = false;
};

}  // namespace quorby
