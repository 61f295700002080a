#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/dialogs.h"
#include "platform/qt/glyph_map.h"
#include "platform/qt/screen_areas.h"

namespace quorby {

int showQuestionDialog(QWidget* parent, const std::string& caption, const std::string& text) {
    QDialog dialog(parent);
    dialog.setWindowTitle(fromLogicText(caption));
    dialog.setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(fromLogicText(text), &dialog);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
    auto* dontAsk = new QCheckBox(QString::fromLatin1(kDontAskAgainText), &dialog);
    dontAsk->setObjectName(QStringLiteral("dontAskAgain"));
    layout->addWidget(dontAsk);
    auto* buttons = new QHBoxLayout;
    auto* yes = new QPushButton(QStringLiteral("Yes"), &dialog);
    auto* no = new QPushButton(QStringLiteral("No"), &dialog);
    yes->setObjectName(QStringLiteral("yes"));
    no->setObjectName(QStringLiteral("no"));
    yes->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(yes);
    buttons->addWidget(no);
    layout->addLayout(buttons);
    QObject::connect(yes, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(no, &QPushButton::clicked, &dialog, &QDialog::reject);
    placeModal(&dialog, parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    return (accepted ? kAnswerYes : 0) | (dontAsk->isChecked() ? kAnswerDontAsk : 0);
}

}  // namespace quorby
