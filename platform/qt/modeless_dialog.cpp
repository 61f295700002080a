#include "platform/qt/modeless_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>

#include "platform/qt/dialog_layout.h"
#include "platform/qt/glyph_map.h"
#include "platform/qt/screen_areas.h"

namespace quorby {

namespace {

// A listing line as shown: Windows-1252 glyphs, tabs kept.
QString listingLine(const std::string& text, std::size_t from, std::size_t length) {
    QString line;
    line.reserve(qsizetype(length));
    for (std::size_t i = from; i < from + length; ++i) {
        const auto byte = std::uint8_t(text[i]);
        line.append(QChar(byte == '\t' ? u'\t' : glyphForByte(byte)));
    }
    return line;
}

// A listing opens with room for this many characters and lines; the user
// may make it smaller or larger with the window.
constexpr int kListingChars = 72;
constexpr int kListingLines = 16;
constexpr int kListingLeastLines = 4;

class SizedListing final : public QPlainTextEdit {
public:
    SizedListing(int chars, int lines, QWidget* parent) : QPlainTextEdit(parent), chars_(chars), lines_(lines) {}

    QSize sizeHint() const override { return sizeFor(chars_, lines_); }
    QSize minimumSizeHint() const override { return sizeFor(chars_ / 3, kListingLeastLines); }

private:
    QSize sizeFor(int chars, int lines) const {
        const QFontMetrics metrics(font());
        const int frame = 2 * frameWidth() + 2 * int(document()->documentMargin());
        const int bar = verticalScrollBar()->sizeHint().width();
        return QSize(metrics.horizontalAdvance(QLatin1Char('0')) * chars + frame + bar,
                     metrics.lineSpacing() * lines + frame + horizontalScrollBar()->sizeHint().height());
    }

    int chars_;
    int lines_;
};

}  // namespace

ModelessDialog::ModelessDialog(QWidget* parent, ModelessWindow which, const DialogDescription& dialog, EventSink sink,
                               std::function<void()> closedByUser)
    : QDialog(parent), which_(which), dialog_(dialog), sink_(std::move(sink)), closedByUser_(std::move(closedByUser)) {
    setModal(false);
    setWindowTitle(fromLogicText(dialog.title));
    DescribedLayout layout(*this, dialog_);
    logicSets_ = true;
    for (const DialogControl& control : dialog_.controls) {
        if (control.kind == ControlKind::Group) {
            widgets_[control.id] = layout.groupWidget(control.id);
            continue;
        }
        QWidget* widget = makeWidget(control);
        if (!widget) continue;
        widget->setObjectName(QStringLiteral("control%1").arg(control.id));
        widget->setEnabled(control.enabled);
        if (!control.visible) widget->hide();
        layout.add(control, widget);
        widgets_[control.id] = widget;
    }
    layout.finish();
    logicSets_ = false;
    sizeToContent(this);
}

void ModelessDialog::setCaption(const QString& caption) {
    setWindowTitle(caption);
    widenForCaption();
}

void ModelessDialog::widenForCaption() {
    const int wanted = captionWidth(this, windowTitle());
    if (width() < wanted) resize(wanted, height());
}

QWidget* ModelessDialog::makeWidget(const DialogControl& control) {
    const int id = control.id;
    switch (control.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(withoutMnemonic(control.text), this);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::Group:  // made by the layout
        break;
    case ControlKind::Edit: {
        QLineEdit* edit = makeSizedEdit(control, this);
        connect(edit, &QLineEdit::textEdited, this, [this, id] { send(ModelessEventKind::Edited, id); });
        connect(edit, &QLineEdit::editingFinished, this, [this, id] { send(ModelessEventKind::EditFinished, id); });
        edit->installEventFilter(this);
        return edit;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(fromLogicText(control.text), this);
        box->setChecked(control.checked);
        connect(box, &QCheckBox::toggled, this, [this, id](bool on) { send(ModelessEventKind::Toggled, id, on); });
        return box;
    }
    case ControlKind::Radio: {
        auto* radio = new QRadioButton(fromLogicText(control.text), this);
        QButtonGroup* group = findChild<QButtonGroup*>(QStringLiteral("group%1").arg(control.group));
        if (!group) {
            group = new QButtonGroup(this);
            group->setObjectName(QStringLiteral("group%1").arg(control.group));
        }
        group->addButton(radio);
        radio->setChecked(control.checked);
        // Of the two buttons that change, the chosen one reports.
        connect(radio, &QRadioButton::toggled, this, [this, id](bool on) {
            if (on) send(ModelessEventKind::Toggled, id, true);
        });
        return radio;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(fromLogicText(control.text), this);
        button->setAutoDefault(false);
        button->setDefault(id == dialog_.okId);
        connect(button, &QPushButton::clicked, this, [this, id] { send(ModelessEventKind::Pressed, id); });
        return button;
    }
    case ControlKind::Listing: {
        auto* edit = new SizedListing(control.chars > 0 ? control.chars : kListingChars, kListingLines, this);
        edit->setReadOnly(true);
        edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        listings_[id].edit = edit;
        connect(edit, &QPlainTextEdit::cursorPositionChanged, this, [this, id] { caretMoved(id); });
        return edit;
    }
    }
    return nullptr;
}

void ModelessDialog::send(ModelessEventKind kind, int controlId, bool checked, std::size_t caret) {
    if (logicSets_ || closing_ || !sink_) return;
    ModelessEvent event;
    event.window = which_;
    event.kind = kind;
    event.controlId = controlId;
    event.checked = checked;
    event.caretPosition = caret;
    sink_(event);
}

void ModelessDialog::caretMoved(int controlId) {
    if (logicSets_) return;
    const Listing& listing = listings_[controlId];
    const QTextCursor cursor = listing.edit->textCursor();
    const auto line = std::size_t(cursor.blockNumber());
    std::size_t offset = 0;
    if (line < listing.lineStarts.size()) {
        const std::size_t column = std::min(std::size_t(cursor.positionInBlock()), listing.lineLengths[line]);
        offset = listing.lineStarts[line] + column;
    }
    send(ModelessEventKind::CaretMoved, controlId, false, offset);
}

void ModelessDialog::setControl(const DialogControl& control) {
    DialogControl* kept = nullptr;
    for (DialogControl& c : dialog_.controls)
        if (c.id == control.id) kept = &c;
    auto it = widgets_.find(control.id);
    if (!kept || it == widgets_.end()) return;
    kept->text = control.text;
    kept->value = control.value;
    kept->checked = control.checked;
    kept->enabled = control.enabled;
    kept->visible = control.visible;
    QWidget* widget = it->second;
    logicSets_ = true;
    switch (kept->kind) {
    case ControlKind::Label:
        static_cast<QLabel*>(widget)->setText(withoutMnemonic(control.text));
        break;
    case ControlKind::Group:
        setGroupText(widget, withoutMnemonic(control.text));
        break;
    case ControlKind::Edit:
        static_cast<QLineEdit*>(widget)->setText(editFieldText(*kept));
        break;
    case ControlKind::CheckBox:
    case ControlKind::Radio:
        static_cast<QAbstractButton*>(widget)->setText(fromLogicText(control.text));
        static_cast<QAbstractButton*>(widget)->setChecked(control.checked);
        break;
    case ControlKind::Button:
        static_cast<QPushButton*>(widget)->setText(fromLogicText(control.text));
        break;
    case ControlKind::Listing:
        break;
    }
    widget->setEnabled(control.enabled);
    widget->setVisible(control.visible);
    logicSets_ = false;
}

DialogDescription ModelessDialog::values() const {
    DialogDescription out = dialog_;
    for (DialogControl& c : out.controls) {
        auto it = widgets_.find(c.id);
        if (it == widgets_.end()) continue;
        if (c.kind == ControlKind::Edit) c.value = editFieldValue(c, static_cast<QLineEdit*>(it->second)->text());
        if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::Radio)
            c.checked = static_cast<QAbstractButton*>(it->second)->isChecked();
    }
    return out;
}

void ModelessDialog::setListingText(int controlId, const std::string& text) {
    auto it = listings_.find(controlId);
    if (it == listings_.end()) return;
    Listing& listing = it->second;
    listing.lineStarts.clear();
    listing.lineLengths.clear();
    QString shown;
    shown.reserve(qsizetype(text.size()));
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        const bool last = end == std::string::npos;
        if (last) end = text.size();
        std::size_t length = end - at;
        if (length > 0 && text[at + length - 1] == '\r') --length;
        if (last && length == 0 && at == text.size() && at != 0) break;  // the text ends with a line end
        if (!listing.lineStarts.empty()) shown.append(QLatin1Char('\n'));
        listing.lineStarts.push_back(at);
        listing.lineLengths.push_back(length);
        shown.append(listingLine(text, at, length));
        if (last) break;
        at = end + 1;
    }
    logicSets_ = true;
    listing.edit->setPlainText(shown);
    logicSets_ = false;
}

int ModelessDialog::qtPosition(const Listing& listing, std::size_t offset) const {
    if (listing.lineStarts.empty()) return 0;
    auto above = std::upper_bound(listing.lineStarts.begin(), listing.lineStarts.end(), offset);
    const auto line = std::size_t(above - listing.lineStarts.begin()) - 1;
    const std::size_t column = std::min(offset - listing.lineStarts[line], listing.lineLengths[line]);
    const QTextBlock block = listing.edit->document()->findBlockByNumber(int(line));
    return block.position() + int(column);
}

void ModelessDialog::selectListingText(int controlId, std::size_t start, std::size_t length) {
    auto it = listings_.find(controlId);
    if (it == listings_.end()) return;
    const Listing& listing = it->second;
    QTextCursor cursor(listing.edit->document());
    cursor.setPosition(qtPosition(listing, start));
    cursor.setPosition(qtPosition(listing, start + length), QTextCursor::KeepAnchor);
    logicSets_ = true;
    listing.edit->setTextCursor(cursor);
    listing.edit->ensureCursorVisible();
    logicSets_ = false;
}

void ModelessDialog::focusControl(int controlId, bool selectAll) {
    auto* edit = qobject_cast<QLineEdit*>(controlWidget(controlId));
    if (!edit) return;
    if (!isActiveWindow()) activateWindow();
    edit->setFocus(Qt::OtherFocusReason);
    if (selectAll) edit->selectAll();
    else edit->end(false);
}

bool ModelessDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        for (const auto& [id, widget] : widgets_)
            if (widget == watched) send(ModelessEventKind::FocusLeft, id);
    }
    return QDialog::eventFilter(watched, event);
}

QWidget* ModelessDialog::controlWidget(int controlId) const {
    auto it = widgets_.find(controlId);
    return it == widgets_.end() ? nullptr : it->second;
}

ModelessDialog::~ModelessDialog() {
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        edit->disconnect(this);
        edit->removeEventFilter(this);
    }
}

void ModelessDialog::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    closing_ = true;
    event->accept();
    ModelessEvent closed;
    closed.window = which_;
    closed.kind = ModelessEventKind::Closed;
    EventSink sink = sink_;
    if (closedByUser_) closedByUser_();  // the window is gone for the logic from here on
    if (sink) sink(closed);
}

void ModelessDialog::keyPressEvent(QKeyEvent* event) {
    if (keyForwarder_ && keyForwarder_(*event)) return;
    QDialog::keyPressEvent(event);
}

// ESC inside the window closes it like its frame.
void ModelessDialog::reject() { close(); }

}  // namespace quorby
