// Damaged AVI files repaired as the user repairs them (repair AVI-File,
// "Check Avi-File" with "Automatic Repair", 'Play' and the continuous check
// answered No): afterwards the current content is byte for byte the clean
// file, or the damaged file unchanged with a line in "quorby.log" that says
// what was found and where. Files written by ffmpeg are made at test time
// when ffmpeg is installed. Each case prints its measured outcome.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "app/dispatch.h"
#include "app/window_events.h"
#include "avimenu/avi_check.h"
#include "core/command_codes.h"
#include "tests/avimenu/avi_app.h"
#include "tests/support/temp_dir.h"

namespace quorby {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t word(const Bytes& b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}
void setWord(Bytes& b, std::size_t at, std::uint32_t v) { test::AviBuilder::set32Into(b, at, v); }

// The chunks of the movi lists as a plain reading of the RIFF layout gives
// them: every RIFF entered, every "LIST movi" and the "rec " lists in it.
struct Chunk {
    std::size_t pos;
    std::string id;
    std::uint32_t size;
};

struct Layout {
    std::vector<Chunk> packets;  // movi chunks that are no lists, in file order
    std::vector<std::size_t> movi;
};

Layout layoutOf(const Bytes& b) {
    Layout out;
    std::function<void(std::size_t, std::size_t, bool)> walk = [&](std::size_t from, std::size_t to, bool inMovi) {
        for (std::size_t at = from; at + 12 <= to;) {
            const std::string id(b.begin() + long(at), b.begin() + long(at) + 4);
            const std::uint32_t size = word(b, at + 4);
            const std::string type(b.begin() + long(at) + 8, b.begin() + long(at) + 12);
            const std::size_t end = std::min<std::size_t>(to, at + 8 + std::size_t(size));
            if (id == "RIFF" || (id == "LIST" && (type == "movi" || (inMovi && type == "rec ")))) {
                if (type == "movi") out.movi.push_back(at);
                walk(at + 12, end, inMovi || type == "movi");
            } else if (inMovi && id != "LIST") {
                out.packets.push_back({at, id, size});
            }
            at += 8 + std::size_t(size) + (size & 1);
        }
    };
    walk(0, b.size(), false);
    return out;
}

// The first packet of `id` from the `nth` on whose size is odd (1), even
// (0) or either (-1).
const Chunk& packet(const Layout& l, const std::string& id, int parity, int nth = 1) {
    for (const Chunk& c : l.packets)
        if (c.id == id && (parity < 0 || int(c.size & 1) == parity) && nth-- <= 0) return c;
    ADD_FAILURE() << "no packet " << id;
    return l.packets.front();
}

std::string positionText(FilePos pos) {
    const std::string line = test::posLine(pos, "");
    return line.substr(0, line.size() - 2);
}

enum class Run { RepairFile, CheckRepair, CheckListing, ContinuousNo, PlayNo, PlayYes };
enum class Result { Restored, UnchangedWithLine, UnchangedWithoutLine, WrongBytes };

const char* resultText(Result r) {
    switch (r) {
        case Result::Restored: return "restored byte-identical";
        case Result::UnchangedWithLine: return "unchanged, with a report line";
        case Result::UnchangedWithoutLine: return "unchanged, no report line";
        case Result::WrongBytes: return "bytes changed, not the clean file";
    }
    return "";
}

struct DamageApp : test::AviApp {
    explicit DamageApp(const Bytes& bytes) : AviApp(bytes) { app.shell.programDirectory = "/home/"; }
    Bytes content() {
        Bytes all;
        for (FilePos at = 0; at < app.main.fileSize; at += 512) {
            EXPECT_EQ(loadPagePair(app, at), 0);
            const std::size_t n = std::size_t(std::min<FilePos>(512, app.main.fileSize - at));
            all.insert(all.end(), app.view.pageBuffer, app.view.pageBuffer + n);
        }
        return all;
    }
    std::string log() {
        if (!io.exists("/home/quorby.log")) return "";
        const Bytes& b = io.bytes("/home/quorby.log");
        return std::string(b.begin(), b.end());
    }
    void modeless(ModelessEventKind kind, int control, bool on = false) {
        ModelessEvent e;
        e.window = ModelessWindow::AviCheck;
        e.kind = kind;
        e.controlId = control;
        e.checked = on;
        onModelessEvent(app, e);
    }
    void check(bool repair, bool continuous) {
        press(kCmdAviCheck);
        modeless(ModelessEventKind::Toggled, kAviCheckDataIndexes, true);
        modeless(ModelessEventKind::Toggled, kAviCheckRepair, repair);
        modeless(ModelessEventKind::Toggled, kAviCheckContinuous, continuous);
        modeless(ModelessEventKind::Pressed, kAviCheckOk);
    }
    void run(Run how) {
        platform.questionDefault = kAnswerYes;  // "Go on anyway ?"
        platform.yesNoDefault = how == Run::ContinuousNo || how == Run::PlayNo ? MsgAnswer::No : MsgAnswer::Yes;
        switch (how) {
            case Run::RepairFile: press(kCmdAviRepair); break;
            case Run::CheckRepair: check(true, false); break;
            case Run::CheckListing: check(false, false); break;
            case Run::ContinuousNo: check(false, true); break;
            case Run::PlayNo:
            case Run::PlayYes: press(kCmdAviPlayVideo); break;
        }
    }
};

struct Case {
    std::string name;
    Bytes clean;
    std::function<void(Bytes&)> damage;
    Run run;
    Result expected;
    // For a file left unchanged: the line that must be in the log, by the
    // position it begins with and a text it holds.
    FilePos where = 0;
    std::string says = "";
};

Result measure(const Case& c, std::string* log) {
    Bytes damaged = c.clean;
    c.damage(damaged);
    DamageApp t(damaged);
    t.run(c.run);
    const Bytes after = t.content();
    *log = t.log();
    EXPECT_EQ(t.io.bytes("/data/movie.avi"), damaged) << "the Main File itself is untouched";
    if (after != damaged) return after == c.clean ? Result::Restored : Result::WrongBytes;
    std::size_t at = 0;
    const std::string pos = positionText(c.where);
    while ((at = log->find("\n" + pos, at)) != std::string::npos) {
        const std::size_t end = log->find('\n', at + 1);
        if (log->substr(at, end - at).find(c.says) != std::string::npos) return Result::UnchangedWithLine;
        at = end;
    }
    return Result::UnchangedWithoutLine;
}

void runCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string log;
        const Result got = measure(c, &log);
        std::printf("| %-52s | %-34s |\n", c.name.c_str(), resultText(got));
        EXPECT_EQ(resultText(got), std::string(resultText(c.expected))) << log;
        if (c.expected == Result::UnchangedWithoutLine) {
            EXPECT_EQ(log, "") << "nothing to report";
        }
    }
}

// A file without idx1 or standard indexes: one video stream, four packets of
// 2000 bytes.
Bytes unindexedAvi() {
    test::AviBuilder b;
    const std::size_t riff = b.beginList("RIFF", "AVI ");
    const std::size_t hdrl = b.beginList("LIST", "hdrl");
    b.mainHeader(40000, 0, 64, 48);
    const std::size_t strl = b.beginList("LIST", "strl");
    b.streamHeader("vids", "MJPG");
    b.chunk("strf", 40);
    b.endList(strl);
    b.endList(hdrl);
    const std::size_t movi = b.beginList("LIST", "movi");
    for (int i = 0; i < 4; ++i) b.chunk("00dc", 2000, 0xEE);
    b.endList(movi);
    b.endList(riff);
    return b.bytes;
}

TEST(AviDamage, WrittenFilesAreRepairedExactlyOrLeftWithAReportLine) {
    const Bytes writer = test::muxerAvi(4).b.bytes;
    const Bytes sameSizes = test::muxerAvi(4, 0x800).b.bytes;  // raw video: every frame the same size
    const Layout w = layoutOf(writer);
    const Layout s = layoutOf(sameSizes);
    const Chunk& oddVideo = packet(w, "00dc", 1);
    // An odd packet whose last byte is 0: the byte before the next chunk
    // alone cannot tell the pad byte from data.
    Bytes zeroEnd = writer;
    zeroEnd[oddVideo.pos + 8 + oddVideo.size - 1] = 0;
    const Chunk& sameVideo = packet(s, "00dc", -1, 1);
    const std::size_t secondEntry = test::muxerAvi(4).ix[0][0] + 32 + 8;
    const Bytes textbook = test::textbookAvi().b.bytes;
    const Layout tb = layoutOf(textbook);
    const Bytes unindexed = unindexedAvi();
    const Layout u = layoutOf(unindexed);
    const Bytes cut(writer.begin(), writer.begin() + long(packet(w, "01wb", -1, 2).pos + 20));
    // A last packet of odd size without the pad byte after it, as some
    // writers end a file: no damage.
    Bytes noPad = unindexed;
    noPad.pop_back();
    setWord(noPad, u.packets.back().pos + 4, 1999);
    setWord(noPad, u.movi[0] + 4, word(noPad, u.movi[0] + 4) - 1);
    setWord(noPad, 4, std::uint32_t(noPad.size() - 8));

    std::vector<Case> cases = {
        {"ix entry 8 bytes on, check with repair", writer,
         [&](Bytes& b) { setWord(b, secondEntry, word(b, secondEntry) + 8); }, Run::CheckRepair, Result::Restored},
        {"packet id damaged (sizes right), check with repair", sameSizes,
         [&](Bytes& b) { b[sameVideo.pos + 1] = 0xD0; }, Run::CheckRepair, Result::UnchangedWithLine, sameVideo.pos,
         "Wrong Data"},
        {"packet id damaged to 0Odc (sizes right), check with repair", sameSizes,
         [&](Bytes& b) { b[sameVideo.pos + 1] = 'O'; }, Run::CheckRepair, Result::UnchangedWithLine, sameVideo.pos,
         "Wrong Data"},
        {"packet id damaged to 0Odc (sizes right), repair AVI-File", sameSizes,
         [&](Bytes& b) { b[sameVideo.pos + 1] = 'O'; }, Run::RepairFile, Result::UnchangedWithLine, sameVideo.pos,
         "Damaged Chunk-ID"},
        {"packet id damaged (sizes right), repair AVI-File", sameSizes,
         [&](Bytes& b) { b[sameVideo.pos + 1] = 0xD0; }, Run::RepairFile, Result::UnchangedWithLine, sameVideo.pos,
         "Damaged Chunk-ID"},
        {"packet id damaged (sizes right), 'Play' Video", sameSizes,
         [&](Bytes& b) { b[sameVideo.pos + 1] = 0xD0; }, Run::PlayYes, Result::UnchangedWithLine, sameVideo.pos,
         "Damaged Chunk-ID"},
        {"size 0x800 damaged to 0x807, repair AVI-File", sameSizes,
         [&](Bytes& b) { setWord(b, sameVideo.pos + 4, 0x807); }, Run::RepairFile, Result::Restored},
        {"odd size damaged 5 less, last byte 0, repair AVI-File", zeroEnd,
         [&](Bytes& b) { setWord(b, oddVideo.pos + 4, oddVideo.size - 5); }, Run::RepairFile, Result::Restored},
        {"odd size damaged 1 less, repair AVI-File", writer,
         [&](Bytes& b) { setWord(b, oddVideo.pos + 4, oddVideo.size - 1); }, Run::RepairFile, Result::Restored},
        {"packet runs past end of movi, repair AVI-File", writer,
         [&](Bytes& b) { setWord(b, oddVideo.pos + 4, 0x100000); }, Run::RepairFile, Result::Restored},
        {"packet runs past end of movi, 'Play' answered No", writer,
         [&](Bytes& b) { setWord(b, oddVideo.pos + 4, 0x100000); }, Run::PlayNo, Result::UnchangedWithLine,
         oddVideo.pos, "runs past End of LIST movi"},
        {"file cut inside movi, check", cut, [](Bytes&) {}, Run::CheckListing, Result::UnchangedWithLine, cut.size(),
         "File ends inside LIST movi"},
        {"file cut inside movi, repair AVI-File", cut, [](Bytes&) {}, Run::RepairFile, Result::UnchangedWithLine,
         packet(w, "01wb", -1, 2).pos, "runs past End of File"},
        {"LIST movi past end of file, check", textbook,
         [&](Bytes& b) { setWord(b, tb.movi[0] + 4, word(b, tb.movi[0] + 4) + 0x10000); }, Run::CheckListing,
         Result::UnchangedWithLine, tb.movi[0], "LIST movi runs past End of File"},
        {"no index, size 600 too long: repair fails", unindexed,
         [&](Bytes& b) { setWord(b, u.packets[1].pos + 4, 2600); }, Run::RepairFile, Result::UnchangedWithLine,
         u.packets[1].pos, "Broken Chunk-Chain"},
        {"last packet odd, no pad byte at the end of the file", noPad, [](Bytes&) {}, Run::RepairFile,
         Result::UnchangedWithoutLine},
        {"continuous check answered No", writer,
         [&](Bytes& b) { setWord(b, oddVideo.pos + 4, oddVideo.size + 6); }, Run::ContinuousNo,
         Result::UnchangedWithLine, oddVideo.pos, "not repaired"},
    };
    runCases(cases);
}

// ffmpeg's AVI writer, where it is installed: a two-second file of the
// given codecs.
Bytes ffmpegAvi(const testing::TempDir& dir, const std::string& name, const std::string& codecs) {
    const std::string out = dir.file(name);
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=160x120:rate=10 -f lavfi -i "
                                "sine=frequency=440:sample_rate=22050 -t 2 " +
                                codecs + " " + out + " > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return {};
    const std::string text = testing::readFile(out);
    return Bytes(text.begin(), text.end());
}

TEST(AviDamage, FfmpegFilesAreRepairedExactlyOrLeftWithAReportLine) {
    if (std::system("command -v ffmpeg > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg is not installed: the files it writes are not checked (scripts/install-deps.sh "
                        "--ffmpeg installs it)";
    testing::TempDir dir;
    const std::pair<const char*, const char*> kinds[] = {{"mjpeg+pcm", "-c:v mjpeg -c:a pcm_s16le"},
                                                         {"mpeg4+mp3", "-c:v mpeg4 -c:a libmp3lame"}};
    for (const auto& [label, codecs] : kinds) {
        const Bytes clean = ffmpegAvi(dir, std::string(label) + ".avi", codecs);
        ASSERT_FALSE(clean.empty()) << "ffmpeg did not write " << label;
        const Layout l = layoutOf(clean);
        ASSERT_GT(l.packets.size(), 20u);
        const Chunk& odd = packet(l, "00dc", 1, 2);
        const Chunk& even = packet(l, "00dc", 0, 2);
        const Chunk& audio = packet(l, "01wb", -1, 3);
        const Chunk& late = l.packets[l.packets.size() - 8];
        const Bytes cut(clean.begin(), clean.begin() + long(late.pos + 12));
        const std::string k = std::string(label) + ": ";
        std::vector<Case> cases = {
            {k + "clean file, repair AVI-File", clean, [](Bytes&) {}, Run::RepairFile, Result::UnchangedWithoutLine},
            {k + "odd size damaged 5 less, repair AVI-File", clean,
             [&](Bytes& b) { setWord(b, odd.pos + 4, odd.size - 5); }, Run::RepairFile, Result::Restored},
            {k + "even size damaged 7 more, repair AVI-File", clean,
             [&](Bytes& b) { setWord(b, even.pos + 4, even.size + 7); }, Run::RepairFile, Result::Restored},
            {k + "audio size damaged 3 more, repair AVI-File", clean,
             [&](Bytes& b) { setWord(b, audio.pos + 4, audio.size + 3); }, Run::RepairFile, Result::Restored},
            {k + "packet id damaged, repair AVI-File", clean, [&](Bytes& b) { b[odd.pos + 1] = 0xD0; },
             Run::RepairFile, Result::UnchangedWithLine, odd.pos, "Damaged Chunk-ID"},
            {k + "packet runs past end of movi, repair AVI-File", clean,
             [&](Bytes& b) { setWord(b, odd.pos + 4, 0x01000000); }, Run::RepairFile, Result::Restored},
            {k + "file cut inside movi, check", cut, [](Bytes&) {}, Run::CheckListing, Result::UnchangedWithLine,
             cut.size(), "File ends inside LIST movi"},
            {k + "size damaged, continuous check answered No", clean,
             [&](Bytes& b) { setWord(b, even.pos + 4, even.size + 7); }, Run::ContinuousNo,
             Result::UnchangedWithLine, even.pos, "not repaired"},
        };
        runCases(cases);
    }
}

}  // namespace
}  // namespace quorby
