#include "platform/qt/dialog_layout.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "platform/qt/glyph_map.h"

namespace quorby {

namespace {

// The characters an edit field without a stated width is made for.
constexpr int kDefaultEditChars = 12;
// Pixels between the rows of a group box: its buttons stand as close as a list.
constexpr int kBoxRowSpacing = 3;

class SizedLineEdit final : public QLineEdit {
public:
    SizedLineEdit(const QString& text, int chars, QWidget* parent) : QLineEdit(text, parent), chars_(chars) {}

    QSize sizeHint() const override {
        // QLineEdit's own hint is 17 'x' wide plus its frame and margins.
        const QSize base = QLineEdit::sizeHint();
        const QFontMetrics metrics = fontMetrics();
        const int frame = base.width() - metrics.horizontalAdvance(QLatin1Char('x')) * 17;
        // A digit and a blank or a letter: the widest of the characters the fields hold.
        const int perChar = std::max(metrics.horizontalAdvance(QLatin1Char('0')), metrics.averageCharWidth());
        return QSize(frame + perChar * chars_ + metrics.horizontalAdvance(QLatin1Char(' ')), base.height());
    }

private:
    int chars_;
};

QWidget* makeGroup(QDialog& dialog, const DialogControl& group, bool framesControls) {
    if (framesControls) return new QGroupBox(withoutMnemonic(group.text), &dialog);
    auto* title = new QLabel(withoutMnemonic(group.text), &dialog);
    title->setTextFormat(Qt::PlainText);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    return title;
}

}  // namespace

QLineEdit* makeSizedEdit(const DialogControl& control, QWidget* parent) {
    const QString text = editFieldText(control);
    const int chars = control.chars > 0 ? control.chars : std::max(int(text.size()), kDefaultEditChars);
    return new SizedLineEdit(text, chars, parent);
}

void setGroupText(QWidget* group, const QString& text) {
    if (auto* box = qobject_cast<QGroupBox*>(group)) box->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(group)) label->setText(text);
}

DescribedLayout::DescribedLayout(QDialog& dialog, const DialogDescription& described)
    : outer_(new QVBoxLayout(&dialog)), below_(new QGridLayout) {
    if (!described.pages.empty()) {
        auto* tabs = new QTabWidget(&dialog);
        outer_->addWidget(tabs);
        for (const std::string& name : described.pages) {
            auto* page = new QWidget(tabs);
            pages_.push_back(new QGridLayout(page));
            tabs->addTab(page, withoutMnemonic(name));
        }
    }
    outer_->addLayout(below_);
    std::set<int> frames;
    for (const DialogControl& c : described.controls)
        if (c.frame != 0) frames.insert(c.frame);
    for (const DialogControl& c : described.controls) {
        if (c.kind != ControlKind::Group) continue;
        QWidget* widget = makeGroup(dialog, c, frames.count(c.id) != 0);
        if (c.id != 0) widget->setObjectName(QStringLiteral("control%1").arg(c.id));
        if (auto* box = qobject_cast<QGroupBox*>(widget)) {
            boxes_[c.id] = new QGridLayout(box);
            boxes_[c.id]->setVerticalSpacing(kBoxRowSpacing);
        }
        groups_[c.id] = widget;
        entries_.push_back({c, widget});
    }
}

void DescribedLayout::add(const DialogControl& control, QWidget* widget) { entries_.push_back({control, widget}); }

QGridLayout* DescribedLayout::gridOf(const DialogControl& c) const {
    if (c.frame != 0) {
        auto it = boxes_.find(c.frame);
        if (it != boxes_.end()) return it->second;
    }
    if (c.page > 0 && std::size_t(c.page) <= pages_.size()) return pages_[std::size_t(c.page) - 1];
    return below_;
}

QWidget* DescribedLayout::groupWidget(int id) const {
    auto it = groups_.find(id);
    return it == groups_.end() ? nullptr : it->second;
}

void DescribedLayout::finish() {
    struct GridUse {
        int columns = 0;
        int rows = 0;
        std::map<int, int> inRow;  // controls per row
    };
    std::map<QGridLayout*, GridUse> use;
    for (const Entry& e : entries_) {
        GridUse& u = use[gridOf(e.control)];
        u.columns = std::max(u.columns, e.control.column + 1);
        u.rows = std::max(u.rows, e.control.row + 1);
        ++u.inRow[e.control.row];
    }
    for (const Entry& e : entries_) {
        QGridLayout* grid = gridOf(e.control);
        const GridUse& u = use[grid];
        const bool alone = u.inRow.at(e.control.row) == 1;
        const int span = alone ? u.columns - e.control.column : 1;
        grid->addWidget(e.widget, e.control.row, e.control.column, 1, span);
        if (e.control.kind == ControlKind::Listing) {
            grid->setRowStretch(e.control.row, 1);
            grid->setColumnStretch(e.control.column, 1);
        }
    }
    // A page shows its controls from the top left however large the pages
    // beside it make it; a box taller than its controls keeps them at its top.
    for (QGridLayout* page : pages_) {
        const GridUse& u = use[page];
        page->setRowStretch(u.rows, 1);
        page->setColumnStretch(u.columns, 1);
    }
    for (const auto& [id, box] : boxes_) box->setRowStretch(use[box].rows, 1);
}

}  // namespace quorby
