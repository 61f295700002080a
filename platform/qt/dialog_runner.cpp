#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <map>
#include <vector>

#include "platform/qt/dialog_layout.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/glyph_map.h"
#include "platform/qt/screen_areas.h"

namespace quorby {

namespace {

struct BoundControl {
    DialogControl* control;
    QWidget* widget;
};

QWidget* makeWidget(QDialog& dialog, DialogControl& control, const DialogDescription& described,
                    std::map<int, QButtonGroup*>& radioGroups, int* pressedId) {
    switch (control.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(withoutMnemonic(control.text), &dialog);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::Edit: return makeSizedEdit(control, &dialog);
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(fromLogicText(control.text), &dialog);
        box->setChecked(control.checked);
        return box;
    }
    case ControlKind::Radio: {
        auto* radio = new QRadioButton(fromLogicText(control.text), &dialog);
        QButtonGroup*& group = radioGroups[control.group];
        if (!group) group = new QButtonGroup(&dialog);
        group->addButton(radio);
        radio->setChecked(control.checked);
        return radio;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(fromLogicText(control.text), &dialog);
        button->setAutoDefault(false);
        button->setDefault(control.id == described.okId);
        const int id = control.id;
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, id, pressedId] {
            *pressedId = id;
            dialog.accept();
        });
        return button;
    }
    case ControlKind::Group:    // made by the layout
    case ControlKind::Listing:  // modeless windows only
        break;
    }
    return nullptr;
}

void writeBack(const std::vector<BoundControl>& bound) {
    for (const BoundControl& b : bound) {
        switch (b.control->kind) {
        case ControlKind::Edit:
            b.control->value = editFieldValue(*b.control, static_cast<QLineEdit*>(b.widget)->text());
            break;
        case ControlKind::CheckBox:
        case ControlKind::Radio:
            b.control->checked = static_cast<QAbstractButton*>(b.widget)->isChecked();
            break;
        default: break;
        }
    }
}

}  // namespace

int runDescribedDialog(QWidget* parent, DialogDescription& described) {
    QDialog dialog(parent);
    dialog.setWindowTitle(fromLogicText(described.title));
    dialog.setWindowModality(Qt::ApplicationModal);
    DescribedLayout layout(dialog, described);
    std::map<int, QButtonGroup*> radioGroups;
    std::vector<BoundControl> bound;
    int pressedId = described.cancelId;
    for (DialogControl& control : described.controls) {
        QWidget* widget = makeWidget(dialog, control, described, radioGroups, &pressedId);
        if (!widget) continue;
        widget->setEnabled(control.enabled);
        if (!control.visible) widget->hide();
        widget->setObjectName(QStringLiteral("control%1").arg(control.id));
        layout.add(control, widget);
        bound.push_back({&control, widget});
    }
    layout.finish();
    placeModal(&dialog, parent);
    // A button ends the dialog with its own id; ESC and the close box count
    // as the cancel button.
    if (dialog.exec() != QDialog::Accepted) pressedId = described.cancelId;
    writeBack(bound);
    return pressedId;
}

}  // namespace quorby
