#include "platform/qt/please_wait_window.h"

#include <QFontDatabase>
#include <QLabel>
#include <QVBoxLayout>

namespace quorby {

PleaseWaitWindow::PleaseWaitWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Please wait ...");
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    text1067_ = new QLabel("Lasting a while ...", this);
    text1068_ = new QLabel(QString(), this);
    // The marquee and the record position line up only in a fixed-pitch font.
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    text1067_->setFont(fixed);
    text1068_->setFont(fixed);
    layout->addWidget(text1067_);
    layout->addWidget(text1068_);
    layout->addWidget(new QLabel("CANCEL WITH ESC !", this));
}

void PleaseWaitWindow::setTexts(const QString& text1067, const QString& text1068) {
    text1067_->setText(text1067);
    text1068_->setText(text1068);
}

}  // namespace quorby
