#pragma once
// Message boxes, the question dialog, file dialogs and the program's own
// dialogs (DialogDescription), realised with Qt widgets. All are modal.
#include "platform/platform.h"

class QWidget;

namespace quorby {

inline constexpr const char* kDontAskAgainText = "Don't ask again !";

MsgAnswer showMessageBox(QWidget* parent, const MessageBoxDescription& described);
// Returns kAnswerYes / kAnswerDontAsk bits; closing the dialog counts as No.
[[nodiscard]] int showQuestionDialog(QWidget* parent, const std::string& caption, const std::string& text);
FileDialogResult showFileDialog(QWidget* parent, const FileDialogRequest& request);
// The id of the button that ended the dialog, or dialog.cancelId when it was
// closed otherwise; the controls' values are written back into `dialog`.
[[nodiscard]] int runDescribedDialog(QWidget* parent, DialogDescription& dialog);
// A dialog with tab pages and group boxes whose controls act while it is open
// (Platform::runReactiveDialog). With a screenshot path the dialog is drawn
// into that PNG file and closed with its cancel button.
[[nodiscard]] int runReactiveDescribedDialog(QWidget* parent, DialogDescription& dialog, DialogReaction& reaction,
                               const std::string& screenshotPath);

}  // namespace quorby
