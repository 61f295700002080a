#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>

#include "platform/qt/dialogs.h"
#include "platform/qt/glyph_map.h"
#include "platform/qt/screen_areas.h"

namespace quorby {

namespace {

// "*.*" means every file on the program's home platform; on Linux it would
// hide the names without a dot, so it becomes "*". Patterns separated by
// ';' become Qt's blank-separated list.
QString filterOf(const FileDialogRequest& request) {
    QString name = fromLogicText(request.filterName.empty() ? std::string("all Files") : request.filterName);
    QStringList patterns;
    for (const QString& p : fromLogicText(request.filterPattern).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QString pattern = p.trimmed();
        patterns.append(pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    }
    if (patterns.isEmpty()) patterns.append(QStringLiteral("*"));
    QString filter = name + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    if (!patterns.contains(QStringLiteral("*"))) filter += QLatin1String(";;all Files (*)");
    return filter;
}

}  // namespace

FileDialogResult showFileDialog(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, fromLogicText(request.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    // The program asks its own "Overwrite File?" question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(filterOf(request));
    if (!request.presetName.empty()) dialog.selectFile(fromLogicText(request.presetName));
    QCheckBox* readOnly = nullptr;
    if (request.showReadOnlyBox) {
        readOnly = new QCheckBox(QStringLiteral("&Read only"), &dialog);
        readOnly->setObjectName(QStringLiteral("readOnly"));
        readOnly->setChecked(request.readOnlyChecked);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
            grid->addWidget(readOnly, grid->rowCount(), 0, 1, grid->columnCount());
        else if (dialog.layout())
            dialog.layout()->addWidget(readOnly);
    }
    dialog.adjustSize();  // a file list needs no more than its share of the screen
    placeSizedModal(&dialog, parent);
    FileDialogResult result;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return result;
    result.accepted = true;
    result.path = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
    result.readOnly = readOnly ? readOnly->isChecked() : request.readOnlyChecked;
    return result;
}

}  // namespace quorby
