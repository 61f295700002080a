#pragma once
// The layout of a described dialog (DialogDescription) in Qt widgets: its
// tab pages, a group box for each Group control that frames other controls
// (a bold title where none does), and a grid in each page, box and the
// dialog itself with the controls at their cells. A control alone in its
// row takes the rest of the row; a listing takes the room the window gains.
#include <QString>
#include <map>
#include <vector>

#include "platform/platform.h"

class QDialog;
class QGridLayout;
class QLineEdit;
class QTabWidget;
class QVBoxLayout;
class QWidget;

namespace quorby {

class DescribedLayout {
public:
    // Makes the tab pages and the Group controls' widgets of `described`.
    DescribedLayout(QDialog& dialog, const DialogDescription& described);

    // Takes the widget of a control other than a Group; finish() lays it out.
    void add(const DialogControl& control, QWidget* widget);
    // Puts every widget into its grid.
    void finish();

    // The group box or title label made for a Group control; nullptr for other ids.
    QWidget* groupWidget(int id) const;
    QVBoxLayout* outer() const { return outer_; }

private:
    struct Entry {
        DialogControl control;
        QWidget* widget;
    };
    QGridLayout* gridOf(const DialogControl& control) const;

    QVBoxLayout* outer_;
    QGridLayout* below_;                 // the controls outside the pages
    std::vector<QGridLayout*> pages_;
    std::map<int, QGridLayout*> boxes_;  // by the Group control's id
    std::map<int, QWidget*> groups_;
    std::vector<Entry> entries_;
};

// An edit field as wide as the characters it is meant to hold.
QLineEdit* makeSizedEdit(const DialogControl& control, QWidget* parent);

// A Group control's new text on its box or title.
void setGroupText(QWidget* group, const QString& text);

}  // namespace quorby
