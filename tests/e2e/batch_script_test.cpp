// Parsing of batch scripts: key names, C escapes, answers, commands and the
// rules that span lines.
#include <gtest/gtest.h>

#include "batch/batch_script.h"
#include "core/command_codes.h"
#include "platform/headless/key_names.h"

namespace quorby {
namespace {

BatchCommand parseOk(const std::string& line) {
    BatchCommand cmd;
    bool empty = true;
    std::string error;
    EXPECT_EQ(parseBatchLine(line, 7, &cmd, &empty, &error), 0) << line << ": " << error;
    EXPECT_FALSE(empty) << line;
    return cmd;
}

std::string parseError(const std::string& line) {
    BatchCommand cmd;
    bool empty = false;
    std::string error;
    EXPECT_EQ(parseBatchLine(line, 7, &cmd, &empty, &error), 1) << line << " was accepted";
    return error;
}

TEST(KeyNames, ChordsWithModifiersInAnyCase) {
    const struct {
        const char* chord;
        Key key;
        std::uint32_t modifiers;
    } chords[] = {
        {"Ctrl+Alt+Down", Key::Down, kCtrl | kAlt},
        {"shift+right", Key::Right, kShift},
        {"PgDn", Key::PageDown, 0},
        {"Strg+z", Key('Z'), kCtrl},
        {"F12", Key::F12, 0},
        {"Ctrl+0", Key('0'), kCtrl},
        {"Alt+?", Key::QuestionMark, kAlt},
    };
    Key key = Key::None;
    std::uint32_t mods = 99;
    std::string error;
    for (const auto& c : chords) {
        ASSERT_EQ(parseKeyChord(c.chord, &key, &mods, &error), 0) << c.chord << ": " << error;
        EXPECT_EQ(key, c.key) << c.chord;
        EXPECT_EQ(mods, c.modifiers) << c.chord;
    }
    EXPECT_EQ(keyChordName(Key::Down, kCtrl | kAlt), "Ctrl+Alt+Down");

    for (const char* bad : {"Ctrl+", "Hyper+A", "Ctrl+Ctrl+A", "F13", "", "AB", "Ctrl+Shift"}) {
        error.clear();
        EXPECT_EQ(parseKeyChord(bad, &key, &mods, &error), 1) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(KeyNames, TypedCharacterOfAKeyStroke) {
    EXPECT_EQ(typedCharacter(Key::Escape, 0), 27);
    EXPECT_EQ(typedCharacter(Key::Enter, 0), 13);
    EXPECT_EQ(typedCharacter(Key::Backspace, 0), 8);
    EXPECT_EQ(typedCharacter(Key('A'), 0), 'a');
    EXPECT_EQ(typedCharacter(Key('A'), kShift), 'A');
    EXPECT_EQ(typedCharacter(Key('G'), kCtrl), 7);
    EXPECT_EQ(typedCharacter(Key('7'), 0), '7');
    EXPECT_EQ(typedCharacter(Key('A'), kAlt), -1);
    EXPECT_EQ(typedCharacter(Key::F5, 0), -1);
    EXPECT_EQ(typedCharacter(Key::Down, kShift), -1);
}

TEST(BatchScript, CEscapes) {
    std::string out, error;
    ASSERT_EQ(unescapeC("a\\e\\r\\b\\x41\\\\\\n\\t\\\"", &out, &error), 0) << error;
    EXPECT_EQ(out, std::string("a\x1b\r\bA\\\n\t\""));
    ASSERT_EQ(unescapeC("\\x4\\x414\\0z", &out, &error), 0);
    EXPECT_EQ(out, std::string("\x04" "A4\0z", 5));
    ASSERT_EQ(unescapeC("\\xff", &out, &error), 0);
    EXPECT_EQ(out, std::string("\xff"));
    EXPECT_EQ(unescapeC("\\xZ", &out, &error), 1);
    EXPECT_EQ(unescapeC("end\\", &out, &error), 1);
    EXPECT_EQ(unescapeC("\\q", &out, &error), 1);
}

TEST(BatchScript, WordsAndQuotes) {
    std::vector<std::string> words;
    std::string error;
    ASSERT_EQ(splitWords("  command \"Save &File\"\t x ", &words, &error), 0);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[1], "Save &File");
    EXPECT_EQ(words[2], "x");
    ASSERT_EQ(splitWords("open \"/tmp/a \\\"b\\\".bin\"", &words, &error), 0);
    EXPECT_EQ(words[1], "/tmp/a \"b\".bin");
    EXPECT_EQ(splitWords("open \"/tmp/x", &words, &error), 1);
    EXPECT_EQ(splitWords("open \"a\"b", &words, &error), 1);
}

TEST(BatchScript, Answers) {
    ScriptAnswer a;
    std::string error;
    ASSERT_EQ(parseAnswer("no+dontask", &a, &error), 0);
    EXPECT_EQ(a.word, AnswerWord::No);
    EXPECT_TRUE(a.dontAsk);
    ASSERT_EQ(parseAnswer("OK", &a, &error), 0);
    EXPECT_EQ(a.word, AnswerWord::Ok);
    EXPECT_FALSE(a.dontAsk);
    EXPECT_EQ(parseAnswer("maybe", &a, &error), 1);
    EXPECT_EQ(parseAnswer("+dontask", &a, &error), 1);

    BatchCommand cmd = parseOk("answer yes cancel no+dontask");
    ASSERT_EQ(cmd.answers.size(), 3u);
    EXPECT_EQ(cmd.answers[1].word, AnswerWord::Cancel);
    EXPECT_TRUE(cmd.answers[2].dontAsk);
}

TEST(BatchScript, CommandsAndTheirArguments) {
    EXPECT_EQ(parseOk("command \"Save &File\"").numbers[0], kCmdSaveFile);
    EXPECT_EQ(parseOk("command 32779").numbers[0], kCmdCloseFile);
    EXPECT_NE(parseError("command \"Save File\"").find("no menu item"), std::string::npos);

    BatchCommand keys = parseOk("key Down*3 Ctrl+Z F9");
    ASSERT_EQ(keys.keys.size(), 3u);
    EXPECT_EQ(keys.keys[0].repeat, 3);
    EXPECT_EQ(keys.keys[1].modifiers, std::uint32_t(kCtrl));
    parseError("key Down*0");
    parseError("key");

    // type keeps blanks and decodes escapes; quotes keep leading blanks.
    EXPECT_EQ(parseOk("type ab c\\e\\r").text, "ab c\x1b\r");
    EXPECT_EQ(parseOk("type \" x \"").text, " x ");

    BatchCommand click = parseOk("click 87 33 double shift");
    EXPECT_EQ(click.numbers[0], 87);
    EXPECT_EQ(click.numbers[1], 33);
    EXPECT_EQ(click.click, ClickKind::Double);
    EXPECT_EQ(click.modifiers, std::uint32_t(kShift));
    parseError("click 88 0");
    parseError("click 0 34");
    parseError("click -1 3");
    parseError("click 1 2 middle");

    EXPECT_EQ(parseOk("wheel -3 ctrl").numbers[0], -3);
    parseError("wheel 0");
    EXPECT_EQ(parseOk("scroll thumb 0x100").numbers[0], 256);
    parseError("scroll track");
    parseError("scroll top 5");

    BatchCommand open = parseOk("open /tmp/x.bin readonly");
    EXPECT_EQ(open.verb, BatchVerb::Open);
    EXPECT_TRUE(open.readOnly);
    parseError("open /tmp/x.bin writable");

    EXPECT_TRUE(parseOk("file cancel").cancel);
    BatchCommand named = parseOk("file \"cancel\"");
    EXPECT_FALSE(named.cancel);
    // A relative name is taken from the directory the script was started in.
    ASSERT_GE(named.text.size(), 8u);
    EXPECT_EQ(named.text.front(), '/');
    EXPECT_EQ(named.text.substr(named.text.size() - 7), "/cancel");

    EXPECT_EQ(parseOk("print colours 33").verb, BatchVerb::PrintColours);
    parseError("print colours 34");
    parseError("print everything");
    EXPECT_EQ(parseOk("pending wait 25").numbers[0], 25);
    EXPECT_EQ(parseOk("dialog check \"Open &write protected\" off").checked, false);
    EXPECT_EQ(parseOk("expect row 1 0000 0000 00").value, "0000 0000 00");
    EXPECT_NE(parseError("frobnicate now").find("unknown command"), std::string::npos);
    EXPECT_EQ(parseOk("timeout 30").numbers[0], 30);
    EXPECT_EQ(parseOk("timeout off").numbers[0], 0);
    parseError("timeout 0");

    BatchCommand cmd;
    bool empty = false;
    std::string error;
    EXPECT_EQ(parseBatchLine("   # a comment", 1, &cmd, &empty, &error), 0);
    EXPECT_TRUE(empty);
}

TEST(BatchScript, RulesAcrossLines) {
    std::vector<BatchCommand> out;
    ScriptError error;
    EXPECT_EQ(parseBatchScript({"answer no", "", "hold F5", "print grid", "release", "quit", "print state"}, &out,
                               &error),
              0)
        << error.message;
    EXPECT_EQ(out.size(), 6u);
    EXPECT_EQ(out[1].line, 3);

    EXPECT_EQ(parseBatchScript({"key Down", "release"}, &out, &error), 1);
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(parseBatchScript({"hold F5", "hold F6"}, &out, &error), 1);
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(parseBatchScript({"quit", "key Down"}, &out, &error), 1);
    EXPECT_EQ(error.line, 2);
    // A dialog answer must be closed before the command that opens the dialog.
    EXPECT_EQ(parseBatchScript({"dialog set Address 100", "command 32809"}, &out, &error), 1);
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(parseBatchScript({"dialog set Address 100"}, &out, &error), 1);
    EXPECT_EQ(error.line, 1);
    EXPECT_EQ(parseBatchScript({"dialog check 5", "dialog cancel"}, &out, &error), 1);
    EXPECT_EQ(parseBatchScript({"dialog set Address 100", "answer yes", "dialog press OK", "command 32809"}, &out,
                               &error),
              0)
        << error.message;
    // A bad line anywhere stops the script before it runs.
    EXPECT_EQ(parseBatchScript({"key Down", "key Down", "kee Up"}, &out, &error), 1);
    EXPECT_EQ(error.line, 3);
}

}  // namespace
}  // namespace quorby
