#include "batch/batch_runner.h"

#include <string>

#include "batch/batch_grammar.h"

namespace quorby {

const char* batchHelpText() {
    // The script commands come from the grammar table.
    static const std::string text = R"HELP(Quorby 2.5.3 - hex editor for big files and drives

Usage:
  quorby [--home DIR] [FILE]                 open the window, FILE as the Main File
  quorby --batch SCRIPT [--home DIR] [FILE]  run a script without a window (SCRIPT - reads
                                             standard input); the transcript goes to
                                             standard output
  quorby --home DIR --screenshot OUT.png [--show values|options|find|disassembly] [FILE]
                                             draw the window, save it as PNG and exit;
                                             --show values, find or disassembly draws
                                             that window where it opens, --show
                                             options saves the open Options dialog
                                             instead
  quorby --disassemble FILE [--mode real16|prot16|32|64] [--from POS] [--to POS]
                                             write a disassembly listing from POS up
                                             to (not including) POS; positions are
                                             hexadecimal as the window shows them,
                                             0x may lead (--from 1fc, --from 0x1FC)
  quorby --journal-dump FILE.jnl             print a Journal File's header and records
                                             and check its chains (exit 1 names the
                                             invariant that failed)
  quorby --help                              this text
  quorby --version                           the program's name and version

  --home DIR  the directory of the settings file quorby.dat (default
              $XDG_CONFIG_HOME/quorby/, else ~/.config/quorby/)

Batch mode
  The script runs through the same commands, keys and mouse actions as the
  window. Exit status 0 when the script ran to its end, 1 on a script error
  ("ERROR line N: ..." on the transcript and on standard error). The whole
  script is checked before anything runs. One command per line; lines whose
  first non-blank character is # are comments. A word in double quotes may
  hold blanks and C escapes (\e ESC, \r, \n, \t, \b, \0, \\, \", \xHH).
  Lines that only queue or set (answer, file, popup, dialog, pending, echo,
  timeout) at the head of the script take effect before the start, so they
  answer the questions of the start (for example the welcome question). When
  the script ends without quit, the exit sequence runs as if the window were
  closed. After a script error the remaining lines do not run, the queued
  answers are dropped and the exit sequence runs with default answers.

  Actions
)HELP" + helpLinesOf(HelpSection::Actions) + R"HELP(    After quit or close only print, expect and echo may follow.

  Answers, queued for what comes later (first queued, first used)
)HELP" + helpLinesOf(HelpSection::Answers) + R"HELP(
  Limit
)HELP" + helpLinesOf(HelpSection::Limit) + R"HELP(
  Output
)HELP" + helpLinesOf(HelpSection::Output) + R"HELP(
  Transcript
    > LINE                      each script line as it runs
    MESSAGE caption | text | buttons -> answer
                                every message box and question on one line; line
                                breaks of the text as \n; the default button in
                                brackets ([yes]/no), then the icon; "+dontask" marks
                                the "Don't ask again !" box
    FILE open|save "title" -> PATH|cancel
    DIALOG "title"              a dialog opens; its controls follow, one per line:
      [id] kind "text" = "value" / on / off
    DIALOG "title" -> ID|cancel the button that closed it
    POPUP menu N at COL,ROW -> CODE|cancel
    PENDING ...                 pending input taken by a long operation
    WINDOW NAME opened "title"  a modeless window opens (or gets new content)
    WINDOW NAME closed [by the user]
    WINDOW NAME shown|hidden
    SEARCH ...                  the outcome of search
)HELP";
    return text.c_str();
}

}  // namespace quorby
