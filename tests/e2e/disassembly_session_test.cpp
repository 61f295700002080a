// The disassembly window through the batch mode: Specials > Disassemble on a
// file of known code, a complete listing, clicks on its lines, OK.
#include <gtest/gtest.h>

#include <string>

#include "e2e_support.h"

namespace quorby::e2e {
namespace {

TEST(DisassemblySession, ListingClickSelectsTheInstructionAndOkGivesBackTheSelection) {
    TempDir dir;
    std::string code("\x75\x05"                 // 0: JNZ to 7
                     "\xB8\x78\x56\x34\x12"     // 2: MOV EAX,0x12345678
                     "\x90",                    // 7: NOP
                     8);
    code.resize(4096, '\x90');
    writeFile(dir.file("code.bin"), code);
    BatchRun run = runInProcess("answer no\n"
                                "open " + dir.file("code.bin") + "\n"
                                "key F9\n"
                                "key Right*7\n"
                                "key F10\n"
                                "key Ctrl+Home\n"
                                // The options first: a single disassembly
                                // highlights its instruction, OK gives back
                                // the selection 0..7.
                                "command \"&Disassemble\"\n"
                                "window disassembly check \"32 Bit\" on\n"
                                "window disassembly check \"complete Listing\" on\n"
                                "window disassembly press OK\n"
                                "expect state selectionEnd 0x8\n"
                                "command \"&Disassemble\"\n"
                                "print window disassembly\n"
                                // Line 3 is the MOV: its five bytes become the selection.
                                "window disassembly caret 1314 3\n"
                                "expect state selectionStart 0x2\n"
                                "expect state selectionEnd 0x7\n"
                                "print window disassembly\n"
                                // Line 2 is the JNZ's target: only the cursor moves.
                                "window disassembly caret 1314 2\n"
                                "expect state cursorPos 0x7\n"
                                "expect state selectionStart 0x2\n"
                                "window disassembly press OK\n"
                                "expect state selectionStart 0x0\n"
                                "expect state selectionEnd 0x8\n"
                                "quit\n",
                                dir.file("home"));
    ASSERT_EQ(run.status, 0) << run.transcript;
    const std::string& t = run.transcript;
    EXPECT_NE(t.find("  [1314] 1:  0000 0000 0000 0000 :    JNZ  + 0x05\n"
                     "  [1314] 2:   => 0000 0000 0000 0007\n"
                     "  [1314] 3:  0000 0000 0000 0002 :    MOV EAX,0x12345678\n"
                     "  [1314] 4:  0000 0000 0000 0007 :    NOP\n"
                     "> window"),
              std::string::npos)
        << t;
    // The position's 19 characters in line 3 are selected.
    EXPECT_NE(t.find("[1314] selection 66 length 19"), std::string::npos) << t;
    EXPECT_EQ(countOccurrences(t, "WINDOW disassembly closed"), 2);
}

}  // namespace
}  // namespace quorby::e2e
