#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>
#include <map>

#include "platform/qt/dialog_layout.h"
#include "platform/qt/dialogs.h"
#include "platform/qt/glyph_map.h"
#include "platform/qt/screen_areas.h"

namespace quorby {

namespace {

// The widgets of a described dialog, kept in step with the description.
class ReactiveWidgets {
public:
    ReactiveWidgets(QDialog& dialog, DialogDescription& described, DialogReaction& reaction)
        : dialog_(dialog), described_(described), reaction_(reaction) {}

    void build() {
        DescribedLayout layout(dialog_, described_);
        for (const DialogControl& c : described_.controls) {
            if (c.kind == ControlKind::Group || c.kind == ControlKind::Listing) continue;
            QWidget* w = make(c);
            w->setObjectName(QStringLiteral("control%1").arg(c.id));
            widgets_[c.id] = w;
            layout.add(c, w);
        }
        layout.finish();
        show();
    }

    // Every widget from the description; the logic's changes send nothing.
    void show() {
        for (auto& [number, group] : radioGroups_) group->setExclusive(false);
        for (const DialogControl& c : described_.controls) {
            auto it = widgets_.find(c.id);
            if (it == widgets_.end()) continue;
            QWidget* w = it->second;
            const QSignalBlocker blocker(w);
            if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                if (edit->text() != editFieldText(c)) edit->setText(editFieldText(c));
            } else if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isCheckable()) {
                button->setChecked(c.checked);
            }
            w->setEnabled(c.enabled);
            w->setVisible(c.visible);
        }
        for (auto& [number, group] : radioGroups_) group->setExclusive(true);
    }

    // The description from the widgets.
    void take() {
        for (DialogControl& c : described_.controls) {
            auto it = widgets_.find(c.id);
            if (it == widgets_.end()) continue;
            if (auto* edit = qobject_cast<QLineEdit*>(it->second)) c.value = editFieldValue(c, edit->text());
            else if (auto* button = qobject_cast<QAbstractButton*>(it->second); button && button->isCheckable())
                c.checked = button->isChecked();
        }
    }

    int pressed = 0;

private:
    void changed(int id) {
        take();
        reaction_.react(described_, id);
        show();
    }

    QWidget* make(const DialogControl& c) {
        const int id = c.id;
        switch (c.kind) {
        case ControlKind::Edit: {
            QLineEdit* edit = makeSizedEdit(c, &dialog_);
            QObject::connect(edit, &QLineEdit::editingFinished, &dialog_, [this, id] { changed(id); });
            return edit;
        }
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(fromLogicText(c.text), &dialog_);
            QObject::connect(box, &QCheckBox::clicked, &dialog_, [this, id] { changed(id); });
            return box;
        }
        case ControlKind::Radio: {
            auto* radio = new QRadioButton(fromLogicText(c.text), &dialog_);
            QButtonGroup*& group = radioGroups_[c.group];
            if (!group) group = new QButtonGroup(&dialog_);
            group->addButton(radio);
            QObject::connect(radio, &QRadioButton::clicked, &dialog_, [this, id] { changed(id); });
            return radio;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(fromLogicText(c.text), &dialog_);
            button->setAutoDefault(false);
            button->setDefault(id == described_.okId);
            QObject::connect(button, &QPushButton::clicked, &dialog_, [this, id] {
                if (id == described_.okId || id == described_.cancelId) {
                    take();
                    pressed = id;
                    if (id == described_.okId) dialog_.accept();
                    else dialog_.reject();
                } else {
                    changed(id);
                }
            });
            return button;
        }
        default: {
            auto* label = new QLabel(withoutMnemonic(c.text), &dialog_);
            label->setTextFormat(Qt::PlainText);
            return label;
        }
        }
    }

    QDialog& dialog_;
    DialogDescription& described_;
    DialogReaction& reaction_;
    std::map<int, QWidget*> widgets_;
    std::map<int, QButtonGroup*> radioGroups_;
};

}  // namespace

int runReactiveDescribedDialog(QWidget* parent, DialogDescription& described, DialogReaction& reaction,
                               const std::string& screenshotPath) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("reactiveDialog"));
    dialog.setWindowTitle(fromLogicText(described.title));
    dialog.setWindowModality(Qt::ApplicationModal);
    ReactiveWidgets widgets(dialog, described, reaction);
    widgets.build();
    placeModal(&dialog, parent);
    if (!screenshotPath.empty()) {
        dialog.show();
        QApplication::processEvents();
        if (!dialog.grab().save(QFile::decodeName(QByteArray::fromStdString(screenshotPath)), "PNG"))
            std::fprintf(stderr, "quorby: cannot write the screenshot %s\n", screenshotPath.c_str());
        return described.cancelId;
    }
    // ESC and the close box count as the cancel button.
    if (dialog.exec() != QDialog::Accepted) return described.cancelId;
    return widgets.pressed;
}

}  // namespace quorby
