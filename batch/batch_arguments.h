#pragma once
// The parsers of the batch commands' arguments, one per kind of argument
// list; batch_grammar.cpp names which form uses which. The word counts are
// checked before a parser runs; a parser's usage errors give the form's
// usage line.
#include "batch/batch_grammar.h"

namespace quorby {

int parseOpenArguments(const FormInput& in, BatchCommand* cmd, std::string* error);      // open, drive
int parseCommandArgument(const FormInput& in, BatchCommand* cmd, std::string* error);    // command, popup
int parseKeyArguments(const FormInput& in, BatchCommand* cmd, std::string* error);       // key, hold, pending key
int parseTypeArgument(const FormInput& in, BatchCommand* cmd, std::string* error);       // type, pending type
int parseClickArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseDragArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseWheelArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseScrollArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseResizeArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseWindowArguments(const FormInput& in, BatchCommand* cmd, std::string* error);    // window WINDOW ...
int parsePendingWindow(const FormInput& in, BatchCommand* cmd, std::string* error);      // pending window ...
int parseSearchArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
int parsePathArgument(const FormInput& in, BatchCommand* cmd, std::string* error);       // compare
int parseClipboardText(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseClipboardData(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseClipboardClear(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseAnswerArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseFileArguments(const FormInput& in, BatchCommand* cmd, std::string* error);
int parsePopupArgument(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseDialogArguments(const FormInput& in, BatchCommand* cmd, std::string* error);    // dialog set|check|choose|press
int parsePendingWait(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseTimeoutArgument(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseRowArgument(const FormInput& in, BatchCommand* cmd, std::string* error);        // print row|cells|colours
int parseOverviewArgument(const FormInput& in, BatchCommand* cmd, std::string* error);   // overview BIN
int parsePrintWindow(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseEchoText(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseExpectRow(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseExpectState(const FormInput& in, BatchCommand* cmd, std::string* error);
int parseExpectCaption(const FormInput& in, BatchCommand* cmd, std::string* error);

}  // namespace quorby
