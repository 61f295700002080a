#pragma once
// The line below the grid while a long operation runs: the position it has
// reached, the share of its way done, and how to stop it.
#include <QWidget>

class QLabel;
class QProgressBar;

namespace quorby {

class ProgressLine final : public QWidget {
    Q_OBJECT
public:
    explicit ProgressLine(QWidget* parent);
    // `where`: the position text; `percent`: 0 .. 100.
    void setProgress(const QString& where, int percent);
    QString positionText() const;
    int percent() const;

private:
    QLabel* where_;
    QProgressBar* bar_;
};

}  // namespace quorby
