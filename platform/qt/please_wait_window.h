#pragma once
// The modeless "Please wait ..." window shown while all changes are written.
// Its Cancel button (and ESC in it) asks to stop the operation, as ESC in the
// main window does.
#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace quorby {

class PleaseWaitWindow final : public QDialog {
    Q_OBJECT
public:
    PleaseWaitWindow(QWidget* parent, std::function<void()> cancelled);
    void setTexts(const QString& text1067, const QString& text1068);
    QPushButton* cancelButton() const { return cancel_; }

protected:
    // ESC or the frame's close: the operation is asked to stop; the window
    // stays until the operation ends.
    void reject() override;

private:
    std::function<void()> cancelled_;
    QLabel* text1067_;
    QLabel* text1068_;
    QPushButton* cancel_;
};

}  // namespace quorby
