#include "platform/qt/please_wait_window.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace quorby {

PleaseWaitWindow::PleaseWaitWindow(QWidget* parent, std::function<void()> cancelled)
    : QDialog(parent), cancelled_(std::move(cancelled)) {
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
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setAutoDefault(false);
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
}

void PleaseWaitWindow::setTexts(const QString& text1067, const QString& text1068) {
    text1067_->setText(text1067);
    text1068_->setText(text1068);
}

void PleaseWaitWindow::reject() {
    if (cancelled_) cancelled_();
}

}  // namespace quorby
