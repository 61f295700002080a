#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/dialogs.h"
#include "platform/qt/glyph_map.h"

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

}  // namespace

MsgAnswer showMessageBox(QWidget* parent, const MessageBoxDescription& described) {
    QMessageBox box(parent);
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
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == first) return pair.firstAnswer;
    if (clicked == second && second) return pair.secondAnswer;
    return second ? pair.secondAnswer : pair.firstAnswer;
}

}  // namespace quorby
