#pragma once
// The parsers of the batch commands' arguments, one per kind of argument
// list; batch_grammar.cpp names which form uses which. The word counts are
// checked before a parser runs; a parser's usage errors give the form's
// usage line.
#include "batch/batch_grammar.h"

namespace quorby {

[[nodiscard]] int parseOpenArguments(const FormInput& in, BatchCommand* cmd, std::string* error);      // open, drive
[[nodiscard]] int parseCommandArgument(const FormInput& in, BatchCommand* cmd, std::string* error);    // command, popup
[[nodiscard]] int parseKeyArguments(const FormInput& in, BatchCommand* cmd, std::string* error);       // key, hold, pending key
[[nodiscard]] int parseTypeArgument(const FormInput& in, BatchCommand* cmd, std::string* error);       // type, pending type
[[nodiscard]] int parseClickArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseDragArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseWheelArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseScrollArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseResizeArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseWindowArguments(const FormInput& in, BatchCommand* cmd, std::string* error);    // window WINDOW ...
[[nodiscard]] int parsePendingWindow(const FormInput& in, BatchCommand* cmd, std::string* error);      // pending window ...
[[nodiscard]] int parseSearchArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseReplaceArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parsePathArgument(const FormInput& in, BatchCommand* cmd, std::string* error);       // compare
[[nodiscard]] int parseClipboardText(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseClipboardData(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseClipboardClear(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseAnswerArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseFileArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parsePopupArgument(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseDialogArguments(const FormInput& in, BatchCommand* cmd, std::string* error);    // dialog set|check|choose|press
[[nodiscard]] int parsePendingWait(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseTimeoutArgument(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseRowArgument(const FormInput& in, BatchCommand* cmd, std::string* error);        // print row|cells|colours
[[nodiscard]] int parseOverviewArgument(const FormInput& in, BatchCommand* cmd, std::string* error);   // overview BIN
[[nodiscard]] int parsePrintWindow(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseEchoText(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseExpectRow(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseExpectState(const FormInput& in, BatchCommand* cmd, std::string* error);
[[nodiscard]] int parseExpectCaption(const FormInput& in, BatchCommand* cmd, std::string* error);

}  // namespace quorby
