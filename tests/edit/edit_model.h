#pragma once
// The plain in-memory model the property tests hold the editor against: the
// stored content of every page, the bytes typed but not stored, and the undo
// order as a list of (page, content before, content after).
#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "core/file_pos.h"

namespace quorby::testing {

struct EditModel {
    struct Entry {
        FilePos page;
        std::vector<std::uint8_t> before, after;
    };

    std::vector<std::uint8_t> original;   // the Main File as opened
    std::vector<std::uint8_t> main;       // the Main File now
    std::vector<std::uint8_t> content;    // what the pages hold once stored
    std::map<FilePos, std::uint8_t> typed;  // typed, not stored: position -> byte
    std::set<FilePos> dirty;                // pages with typing not stored
    std::set<FilePos> withRecord;           // pages that have a journal record
    std::vector<Entry> entries;
    std::size_t inEffect = 0;               // entries[0 .. inEffect) are in effect
    std::uint32_t undoOptions = 0;
    bool direct = false;

    EditModel(const std::vector<std::uint8_t>& bytes, std::uint32_t options, bool directAccess)
        : original(bytes), main(bytes), content(bytes), undoOptions(options), direct(directAccess) {}

    FilePos pageEnd(FilePos page) const { return std::min<FilePos>(page + 512, content.size()); }

    std::vector<std::uint8_t> pageOf(const std::vector<std::uint8_t>& bytes, FilePos page) const {
        return {bytes.begin() + page, bytes.begin() + pageEnd(page)};
    }
    void setPage(std::vector<std::uint8_t>& bytes, FilePos page, const std::vector<std::uint8_t>& v) {
        std::copy(v.begin(), v.end(), bytes.begin() + page);
    }

    std::uint8_t shown(FilePos pos) const {
        auto it = typed.find(pos);
        return it != typed.end() ? it->second : content[pos];
    }

    void type(FilePos pos, std::uint8_t value) {
        typed[pos] = value;
        dirty.insert(pos & ~FilePos{511});
    }

    // Backspace: the byte shows its stored content again; the page stays dirty.
    void restore(FilePos pos) { typed.erase(pos); }

    void discard(FilePos pairPos) {
        for (FilePos page : {pairPos, pairPos + 512}) {
            dirty.erase(page);
            for (FilePos p = page; p < page + 512; ++p) typed.erase(p);
        }
    }

    void dropEntryOf(FilePos page) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].page != page) continue;
            entries.erase(entries.begin() + std::ptrdiff_t(i));
            if (i < inEffect) --inEffect;
            return;
        }
    }

    void push(FilePos page, std::vector<std::uint8_t> before, std::vector<std::uint8_t> after) {
        entries.resize(inEffect);
        entries.push_back({page, std::move(before), std::move(after)});
        inEffect = entries.size();
    }

    // Stores one dirty page as storeHalf or the direct write does.
    void storePage(FilePos page) {
        if (!dirty.count(page)) return;
        dirty.erase(page);
        std::vector<std::uint8_t> stored = pageOf(content, page);
        for (FilePos p = page; p < pageEnd(page); ++p) {
            auto it = typed.find(p);
            if (it != typed.end()) stored[p - page] = it->second;
            typed.erase(p);
        }
        if (direct) {
            if (undoOptions != 0 || withRecord.count(page)) {
                dropEntryOf(page);
                push(page, pageOf(main, page), stored);
                withRecord.insert(page);
            }
            setPage(main, page, stored);
        } else if (undoOptions & 2) {
            push(page, pageOf(content, page), stored);
        } else {
            dropEntryOf(page);
            push(page, pageOf(main, page), stored);
        }
        setPage(content, page, stored);
    }

    void storePair(FilePos pairPos) {
        storePage(pairPos);
        storePage(pairPos + 512);
    }

    bool canUndo() const { return inEffect > 0; }
    bool canRedo() const { return inEffect < entries.size(); }

    void undoOne() {
        const Entry& e = entries[--inEffect];
        setPage(content, e.page, e.before);
        if (direct) setPage(main, e.page, e.before);
    }
    void redoOne() {
        const Entry& e = entries[inEffect++];
        setPage(content, e.page, e.after);
        if (direct) setPage(main, e.page, e.after);
    }
};

}  // namespace quorby::testing
