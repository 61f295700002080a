#include "platform/qt/progress_line.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

namespace quorby {

ProgressLine::ProgressLine(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 1, 4, 1);
    where_ = new QLabel(this);
    where_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    bar_->setFormat(QStringLiteral("%p %"));
    layout->addWidget(where_);
    layout->addWidget(bar_, 1);
    layout->addWidget(new QLabel(QStringLiteral("Stop with ESC"), this));
    setAutoFillBackground(true);
}

void ProgressLine::setProgress(const QString& where, int percent) {
    if (where_->text() != where) where_->setText(where);
    if (bar_->value() != percent) bar_->setValue(percent);
}

QString ProgressLine::positionText() const { return where_->text(); }

int ProgressLine::percent() const { return bar_->value(); }

}  // namespace quorby
