#pragma once
// The overview strip beside the scroll bar: the whole file from top to
// bottom, with the bins the logic marked (changed pages, unwritten ones,
// search matches, compare differences, the cursor). A click asks the logic
// to show that part of the file.
#include <QWidget>

#include "platform/platform.h"
#include "platform/qt/window_input.h"

namespace quorby {

class OverviewStripWidget final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 10;

    OverviewStripWidget(WindowInput* input, QWidget* parent);
    void setStrip(const OverviewStrip& strip);
    const OverviewStrip& strip() const { return strip_; }
    // The bin a pixel row of the strip stands for.
    int binAt(int y) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    WindowInput* input_;
    OverviewStrip strip_;
};

}  // namespace quorby
