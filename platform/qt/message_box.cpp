#include <QAbstractButton>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/dialogs.h"
#include "platform/qt/dialog_placement.h"
#include "platform/qt/glyph_map.h"
#include "platform/qt/screen_areas.h"

namespace quorby {

namespace {

QMessageBox::Icon qtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonPair {
    QMessageBox::StandardButton first;
    QMessageBox::StandardButton second;  // NoButton when there is one button
    MsgAnswer firstAnswer;
    MsgAnswer secondAnswer;
};

ButtonPair buttonsOf(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OkCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel, MsgAnswer::Ok, MsgAnswer::Cancel};
    case MsgButtons::YesNo:
        return {QMessageBox::Yes, QMessageBox::No, MsgAnswer::Yes, MsgAnswer::No};
    case MsgButtons::Ok: break;
    }
    return {QMessageBox::Ok, QMessageBox::NoButton, MsgAnswer::Ok, MsgAnswer::Ok};
}

// A message box as wide as its caption, placed over the main window once it
// knows its size (it sizes itself when shown), inside the screen and clear
// of the main window's menu bar.
class PlacedMessageBox final : public QMessageBox {
public:
    explicit PlacedMessageBox(QWidget* mainWindow) : QMessageBox(mainWindow), mainWindow_(mainWindow) {}

    void reserveCaptionWidth() {
        auto* grid = qobject_cast<QGridLayout*>(layout());
        if (!grid) return;
        const int width = captionWidth(this, windowTitle());
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        const ScreenAreas areas = screenAreas(mainWindow_);
        if (!areas.screen.isEmpty())
            move(placeOver(areas.screen, areas.mainFrame, size() + areas.decoration, areas.menuBand));
    }

private:
    QWidget* mainWindow_;
};

}  // namespace

MsgAnswer showMessageBox(QWidget* parent, const MessageBoxDescription& described) {
    PlacedMessageBox box(parent);
    box.setWindowTitle(fromLogicText(described.caption));
    box.setTextFormat(Qt::PlainText);  // file names are never markup
    box.setText(fromLogicText(described.text));
    box.setIcon(qtIcon(described.icon));
    box.setWindowModality(Qt::ApplicationModal);
    const ButtonPair pair = buttonsOf(described.buttons);
    QAbstractButton* first = box.addButton(pair.first);
    QAbstractButton* second = pair.second != QMessageBox::NoButton ? box.addButton(pair.second) : nullptr;
    box.setDefaultButton(qobject_cast<QPushButton*>(described.secondIsDefault && second ? second : first));
    // ESC and the close box give the answer of the last button (Cancel, No).
    box.setEscapeButton(second ? second : first);
    box.reserveCaptionWidth();
    awaitWindowManager(parent);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == first) return pair.firstAnswer;
    if (clicked == second && second) return pair.secondAnswer;
    return second ? pair.secondAnswer : pair.firstAnswer;
}

}  // namespace quorby
