#include "batch/batch_runner.h"

#include <string>

#include "core/command_codes.h"

namespace quorby {

const char* batchHelpText() {
    // The example code is the command table's own (kCmdSaveFile).
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
  --timing FILE  for measuring: appends to FILE how long each script command
              (batch mode) or each user action of 0.1 s or more (window) took,
              one line each: seconds, the processor seconds of the program,
              what it was (blank-separated)

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
    open PATH [readonly]        "&Open" with the file dialog answered
    drive DEVICE [readonly]     "Open &Drive" with the drive DEVICE (/dev/loop0) chosen
    command CODE                a menu command by its code (command )HELP" + std::to_string(kCmdSaveFile) + R"HELP()
    command "MENU TEXT"         a menu command by its exact text (command "Save &File")
    key KEYS                    key strokes: down, typed character (unless an accelerator
                                took the key), up. KEYS: Ctrl+Z F9 Shift+Right PageDown
                                Ctrl+Alt+Down A 5 Escape Enter; KEY*N repeats a key
    hold KEY                    key down without key up (F5, F6 act while held)
    release                     key up of the held key
    type TEXT                   one typed character per byte of TEXT (rest of the line,
                                C escapes: \e ESC, \r Enter, \b Backspace, \xHH)
    click COL ROW [right|double] [shift|ctrl]
                                mouse click at the centre of a cell (columns 0-87, rows 0-33)
    drag COL ROW COL ROW        left button down, move across the cells, up
    wheel STEPS [ctrl|shift]    mouse wheel notches; positive turns the wheel away from
                                the user (towards the file's begin), negative towards
    scroll lineup|linedown|pageup|pagedown|top|bottom|track POS|thumb POS
                                the vertical scroll bar (thumb = track, then release)
    resize WIDTH HEIGHT         the user sizes the client area to WIDTH x HEIGHT pixels
    paint                       the window is exposed and painted
    window WINDOW set LABEL-OR-ID TEXT
    window WINDOW check LABEL-OR-ID [on|off]
    window WINDOW choose LABEL-OR-ID
    window WINDOW press LABEL-OR-ID
    window WINDOW caret LISTING-ID LINE
    window WINDOW close         act in an open modeless window, WINDOW = find |
                                disassembly | offset | values: type into an edit
                                field and leave it (acting on another control
                                afterwards leaves the field as well),
                                set a check box, choose a radio button, press a
                                button, put the caret of a listing at the start of
                                line LINE (from 1), close the window by its frame.
                                Controls are named as for dialog; hidden and disabled
                                controls cannot be used
    search text|hex PATTERN [up|down] [case]
                                "Find &Text" (Ctrl+F) or Ctrl+H, unless the find
                                dialog is open in that mode; then the pattern typed
                                (its bytes as written, \xHH included),
                                the direction chosen (unchanged when not said),
                                "Match case" set on with case and off without (text
                                only), and "Find Next" pressed. Writes SEARCH FOUND
                                0xPOS, SEARCH NOT FOUND, SEARCH INTERRUPTED or SEARCH
                                NOT RUN (after NOT FOUND, until the dialog opens anew)
    compare PATH                "To other &File" with PATH chosen in its file dialog
    clipboard text TEXT         puts TEXT on the clipboard as plain text only, as
                                another program would
    clipboard data HEXBYTES     puts the bytes on the clipboard in the three forms
                                of "Copy"
    clipboard clear             empties the clipboard
    overview BIN                a click on the overview strip at bin BIN (0-255): the
                                view jumps to the page where that part of the file starts
    differences                 "Find &Differences" (Ctrl+U). Writes COMPARE DIFFERENCE
                                0xPOS, COMPARE EOF 0xPOS NAME (no difference, but NAME
                                ends first, at Main File position POS), COMPARE NOT
                                FOUND, COMPARE INTERRUPTED, COMPARE FAILED (a read
                                failed) or COMPARE NOT RUN (no comparison is active)
    quit                        "&Quit": the exit sequence with its questions
    close                       the window is closed by its frame
    After quit or close only print, expect and echo may follow.

  Answers, queued for what comes later (first queued, first used)
    answer A [A ...]            A = yes|no|ok|cancel, optionally +dontask (no+dontask)
                                for message boxes and questions. Without a queued
                                answer a message box takes its default button and a
                                question with "Don't ask again !" takes no; the
                                transcript says "(default)". An answer that is not one
                                of the box's buttons is a script error.
    file PATH|cancel [readonly] the next file dialog (a file named cancel: "cancel")
    popup CODE|"MENU TEXT"|cancel
                                the next popup menu (right click)
    dialog set LABEL-OR-ID VALUE    the next dialog: type VALUE into an edit field
    dialog check LABEL-OR-ID [on|off]   set a check box (on when not said)
    dialog choose LABEL-OR-ID   choose a radio button
    dialog press LABEL-OR-ID    close the dialog with this button; ends the answer
    dialog cancel               close the next dialog with Cancel
                                Controls are named by number or by text (& and a
                                trailing colon ignored, case ignored); a label stands
                                for the edit field after it. A dialog without a queued
                                answer is cancelled; the transcript lists its controls.
                                In a dialog whose controls act while it is open
                                (Options), each action acts at once, and a button that
                                does not close it ends the answer: the next queued
                                answer goes on in the same dialog.
    pending key KEYS            input that arrives while the next command runs a long
    pending type TEXT           operation: each poll of the operation takes one event
    pending wait N              (key down, typed character, key up, command, window
    pending command CODE|"TEXT" action); wait N lets N polls pass without input;
    pending window WINDOW ...   pending window acts in a modeless window as window
                                does. Pending input the command does not take is
                                dropped (NOTE line).
                                Example: pending wait 100 / pending key Escape /
                                answer yes / command "Save &File"

  Limit
    timeout SECONDS|off         a time limit for each later command: a long operation
                                still running after it gets a typed ESC with yes for
                                its question, and the script fails (none at start)

  Output
    print grid                  rows 0-33: "07|" + 88 cells + "|"; cells outside
                                0x20-0x7E print as '.'
    print row N                 one row as in print grid
    print cells ROW             "07: " + the 88 character codes as hex pairs
    print colours ROW           "07: 0-20 DDDDDD,21-70 EEFFEE": the background of
                                each run of cells as 0xBBGGRR
    print state                 name=value lines: mainName, mainKind, fileSize, pagePos,
                                pageLength, viewOffset, cursorOffset, cursorPos,
                                cursorInChars, halfDirty, selectionStart, selectionEnd,
                                selectionActive, rememberedStart, rememberedEnd, midPtr,
                                headerShift, accessFlags, modeFlags,
                                cellWidth, rowHeight, messageSwitches (positions and
                                flags as 0x hexadecimal, the rest decimal)
    print caption               CAPTION "text"
    print scrollbar             SCROLLBAR maximum=M position=P
    print progress              PROGRESS reports=N from=0xS to=0xE first=0xF last=0xL
                                percent=P shown=yes|no: the positions that long
                                operations reported since the last print progress
                                (the way from S to E, the share done at L), and
                                whether an operation still shows one
    print menus                 the greyed menus (by index, AVI = 5) and items (by code),
                                as the window greys them, the checked items, and
                                the last opened files
    print clipboard             each clipboard format with its size and first bytes
    print overview              OVERVIEW changed=B unwritten=B matches=B differences=B
                                cursor=B: the bins (0-255, the file in equal parts)
                                of the overview strip beside the scroll bar that
                                hold a page with a record in the Journal File, one
                                not yet written, a match of the last search, a
                                compare difference found, the cursor ("3,10-12",
                                "-" for none); "OVERVIEW no file" without a file
    print window WINDOW         WINDOW find "title" (hidden when hidden, "at column C
                                row R" once placed, "focus [id]"), its controls
                                as for dialogs, each listing's selection ("[id]
                                selection START length N") and its lines ("[id] 1: ...")
    echo TEXT                   writes TEXT to the transcript
    expect row N TEXT           script error unless row N contains TEXT
    expect state NAME VALUE     script error unless print state shows NAME=VALUE
    expect caption TEXT         script error unless the caption is TEXT

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
