#pragma once
// The modeless "Please wait ..." window shown while all changes are written.
#include <QDialog>

class QLabel;

namespace quorby {

class PleaseWaitWindow final : public QDialog {
    Q_OBJECT
public:
    explicit PleaseWaitWindow(QWidget* parent);
    void setTexts(const QString& text1067, const QString& text1068);

private:
    QLabel* text1067_;
    QLabel* text1068_;
};

}  // namespace quorby
