#pragma once
// A Journal File on the in-memory FileIo, with helpers that add pages through
// the store's own append and relink operations and run the dump on it.
#include <gtest/gtest.h>

#include <string>

#include "journal/journal_file.h"
#include "tests/support/journal_dump_run.h"
#include "tests/support/memory_file_io.h"

namespace quorby::testing {

inline constexpr const char* kMainName = "/home/u/x.bin";

struct JournalFixture {
    MemoryFileIo io;
    JournalFile jf;
    std::string path = "/journals/x.bin.jnl";
    int failuresReported = 0;
    bool lastFailureWriting = false;

    JournalFixture() {
        FileHandle h = kNoFile;
        io.open(path, OpenMode::CreateReadWrite, &h);
        attachJournal(jf, io, h, path);
        jf.reportFailure = [](void* context, const JournalFile&, bool writing) {
            auto* self = static_cast<JournalFixture*>(context);
            ++self->failuresReported;
            self->lastFailureWriting = writing;
        };
        jf.reportContext = this;
        EXPECT_EQ(recreateJournal(jf, kMainName), 0);
    }

    std::vector<std::uint8_t>& bytes() { return io.bytes(path); }

    // The records just below and above `mainAdr` in the address chain.
    void neighboursOf(FilePos mainAdr, FilePos* below, FilePos* above) {
        *below = kEmptyPtr;
        *above = kEmptyPtr;
        AddressWalk walk;
        JournalRecord r;
        startAddressWalk(jf, walk);
        while (nextAddressRecord(jf, walk, r) == 0) {
            if (r.mainAdr < mainAdr) {
                *below = r.jAdr;
            } else {
                *above = r.jAdr;
                return;
            }
        }
    }

    // Stores a page that has no record yet; returns its record's position.
    FilePos addPage(FilePos mainAdr, std::uint8_t fill, std::uint32_t anz = 512) {
        JournalRecord r;
        r.mainAdr = mainAdr;
        r.anz = anz;
        r.flag = kFlagInEffect | kFlagUnwritten;
        std::memset(r.data, fill, sizeof r.data);
        r.changeMap[0] = 0x0F;
        neighboursOf(mainAdr, &r.prevPtr, &r.nextPtr);
        EXPECT_EQ(appendNewPage(jf, r), 0);
        return r.jAdr;
    }

    // Appends a newer version of the page whose record is at `older`.
    FilePos addVersion(FilePos older, std::uint8_t fill) {
        JournalRecord o, n;
        EXPECT_EQ(readRecordHeader(jf, older, kRecordFullHeader, o), 0);
        n = o;
        n.pUndo = kEmptyPtr;
        n.nUndo = kEmptyPtr;
        std::memset(n.data, fill, sizeof n.data);
        EXPECT_EQ(appendRecord(jf, n), 0);
        EXPECT_EQ(linkNewerVersion(jf, o, n), 0);
        return n.jAdr;
    }

    JournalRecord read(FilePos ptr) {
        JournalRecord r;
        EXPECT_EQ(readRecord(jf, ptr, r), 0);
        return r;
    }

    DumpResult dump() { return runDump(io, path); }
};

}  // namespace quorby::testing
