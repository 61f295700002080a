#pragma once
// What the user sees of a file being edited, written from the rules of the
// history (undo, redo, writing, discarding, restoring) and nothing else:
// the Main File's bytes, what every 512-byte page half shows, the typed
// bytes not stored yet, and the history as a list of entries with a
// position in it.
//
// A half shows either bytes of its own (a stored change) or the Main File
// (it was never changed, or what it shows was written). An entry is a list
// of changes, one per half: how the half's view and the Main File's bytes
// were before and after. Undo applies the befores of the entry before the
// position, Redo the afters of the entry at it; a new entry drops the ones
// after the position.
//
// undoOptions: 0 keeps no history (undo and restore do nothing); 1 keeps it,
// but a half stored again while the last entry that changed it was a store
// loses that store from the history and the new one undoes to what the half
// showed before it; 3 keeps every store.
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "core/file_pos.h"

namespace quorby::testing {

struct HistoryModel {
    using Bytes = std::vector<std::uint8_t>;
    struct HalfView {
        bool showsMain = true;
        Bytes bytes;
        bool operator==(const HalfView& o) const { return showsMain == o.showsMain && (showsMain || bytes == o.bytes); }
    };
    enum class Kind { Store, Write, Restore };
    struct Change {
        FilePos half = 0;
        Kind kind = Kind::Store;
        HalfView viewBefore, viewAfter;
        std::optional<Bytes> mainBefore, mainAfter;   // set when the Main File changes
    };
    using Entry = std::vector<Change>;

    Bytes original, main;
    std::map<FilePos, HalfView> view;       // halves ever changed
    std::map<FilePos, std::uint8_t> typed;  // typed, not stored
    std::set<FilePos> dirty;                // halves with typing not stored
    std::vector<Entry> history;
    std::size_t position = 0;
    // The Main File's bytes of a half before its first write, kept when a
    // shortening emptied the history.
    std::map<FilePos, Bytes> restoreBase;
    // undoOptions 1: what a half showed before its last store, when that
    // store was the half's last change when a shortening emptied the history;
    // it counts while no change of the half since then is in effect.
    std::map<FilePos, HalfView> storedBase;
    std::uint32_t undoOptions = 0;
    bool direct = false;

    HistoryModel(const Bytes& bytes, std::uint32_t options, bool directAccess)
        : original(bytes), main(bytes), undoOptions(options), direct(directAccess) {}

    FilePos size() const { return main.size(); }
    FilePos halfEnd(FilePos half) const { return std::min<FilePos>(half + 512, size()); }
    Bytes halfOf(const Bytes& b, FilePos half) const { return {b.begin() + half, b.begin() + halfEnd(half)}; }
    void setHalf(Bytes& b, FilePos half, const Bytes& v) { std::copy(v.begin(), v.end(), b.begin() + half); }

    HalfView viewOf(FilePos half) const {
        auto it = view.find(half);
        return it == view.end() ? HalfView{} : it->second;
    }
    // The half's content as stored: its own bytes or the Main File's.
    Bytes storedHalf(FilePos half) const {
        const HalfView v = viewOf(half);
        return v.showsMain ? halfOf(main, half) : v.bytes;
    }
    std::uint8_t stored(FilePos pos) const {
        const FilePos half = pos & ~FilePos{511};
        const HalfView v = viewOf(half);
        return v.showsMain ? main[pos] : v.bytes[pos - half];
    }
    std::uint8_t shown(FilePos pos) const {
        auto it = typed.find(pos);
        return it != typed.end() ? it->second : stored(pos);
    }

    // ---- typing -------------------------------------------------------------
    void type(FilePos pos, std::uint8_t value) {
        typed[pos] = value;
        dirty.insert(pos & ~FilePos{511});
    }
    void backspace(FilePos pos) { typed.erase(pos); }
    void discardTyped(FilePos pairPos) {
        for (FilePos half : {pairPos, pairPos + 512}) {
            dirty.erase(half);
            for (FilePos p = half; p < half + 512; ++p) typed.erase(p);
        }
    }

    // ---- the history ----------------------------------------------------------
    bool keepsHistory() const { return undoOptions != 0; }

    // undoOptions 1: the store of `half` made by the last in-effect entry that
    // changed the half leaves the history; its view from before it is returned.
    std::optional<HalfView> takeBackLastStore(FilePos half) {
        for (std::size_t e = position; e-- > 0;) {
            Entry& entry = history[e];
            for (std::size_t c = entry.size(); c-- > 0;) {
                if (entry[c].half != half) continue;
                if (entry[c].kind != Kind::Store) return std::nullopt;
                HalfView before = entry[c].viewBefore;
                entry.erase(entry.begin() + std::ptrdiff_t(c));
                if (entry.empty()) {
                    history.erase(history.begin() + std::ptrdiff_t(e));
                    --position;
                }
                return before;
            }
        }
        return std::nullopt;
    }

    bool changedInHistory(FilePos half) const {
        for (std::size_t e = 0; e < position; ++e)
            for (const Change& c : history[e])
                if (c.half == half) return true;
        return false;
    }

    void apply(const Change& c, bool forward) {
        view[c.half] = forward ? c.viewAfter : c.viewBefore;
        const auto& m = forward ? c.mainAfter : c.mainBefore;
        if (m) setHalf(main, c.half, *m);
    }

    // Applies the entry and, when the history is kept, adds it.
    void add(Entry entry) {
        if (entry.empty()) return;
        for (const Change& c : entry) apply(c, true);
        if (!keepsHistory()) return;
        history.resize(position);
        history.push_back(std::move(entry));
        position = history.size();
    }

    Change storeChange(FilePos half, const Bytes& bytes) {
        Change c;
        c.half = half;
        c.kind = Kind::Store;
        c.viewBefore = viewOf(half);
        if (undoOptions == 1) {
            // Dropping the redo entries first: a store they hold is not the half's last.
            history.resize(position);
            if (auto before = takeBackLastStore(half)) {
                c.viewBefore = *before;
            } else if (storedBase.count(half) && !changedInHistory(half)) {
                c.viewBefore = storedBase[half];
            }
        }
        c.viewAfter = HalfView{false, bytes};
        return c;
    }

    // The typed bytes of `half` over its stored content.
    Bytes typedHalf(FilePos half) {
        Bytes b = storedHalf(half);
        for (FilePos p = half; p < halfEnd(half); ++p) {
            auto it = typed.find(p);
            if (it != typed.end()) b[p - half] = it->second;
            typed.erase(p);
        }
        dirty.erase(half);
        return b;
    }

    // Leaving a page pair (or Enter, or a command) stores its dirty halves:
    // one entry for the pair.
    void storePair(FilePos pairPos) { add(pairEntry(pairPos)); }

    // Paste: `bytes` typed from `start` on, stored pair after pair from the
    // pair at `start`; all of it is one entry. When they run past the end
    // the file is first made long enough (that is no entry).
    void paste(FilePos start, const Bytes& bytes) {
        const FilePos end = start + bytes.size();
        if (end > size()) resize(end);
        Entry all;
        for (FilePos pair = start & ~FilePos{511}; pair < end; pair += 1024) {
            for (FilePos p = std::max(start, pair); p < std::min(end, pair + 1024); ++p) type(p, bytes[p - start]);
            Entry e = pairEntry(pair);
            all.insert(all.end(), e.begin(), e.end());
        }
        add(std::move(all));
    }
    // Fill Selection: the bytes [start, end) become `value`, as a paste.
    void fill(FilePos start, FilePos end, std::uint8_t value) { paste(start, Bytes(end - start, value)); }

    // Change File Size (pending typing is stored before). Added bytes are
    // zeros in the Main File and in every version of the half that held
    // the old end. Shortening forgets the halves beyond the new end for good
    // (when there were any, nothing can be undone or redone any more) and
    // cuts every version of the half that now holds the end.
    void resize(FilePos newSize) {
        const FilePos oldSize = size();
        if (newSize < oldSize) {
            bool beyond = false;
            for (auto it = view.begin(); it != view.end();) {
                if (it->first >= newSize) {
                    beyond = true;
                    restoreBase.erase(it->first);
                    storedBase.erase(it->first);
                    it = view.erase(it);
                } else {
                    ++it;
                }
            }
            if (beyond) {
                // Restore Original File still finds what the Main File held
                // before its first write, and with undoOptions 1 a half whose
                // last change was a store is still stored over in place.
                for (std::size_t e = 0; e < position; ++e)
                    for (const Change& c : history[e]) {
                        if (c.half >= newSize) continue;
                        if (c.mainBefore && !restoreBase.count(c.half)) restoreBase[c.half] = *c.mainBefore;
                        if (c.kind == Kind::Store) storedBase[c.half] = c.viewBefore;
                        else storedBase.erase(c.half);
                    }
                history.clear();
                position = 0;
            }
        }
        main.resize(newSize, 0);
        const FilePos shorter = std::min(oldSize, newSize);
        if (shorter % 512 == 0) return;
        const FilePos half = shorter & ~FilePos{511};
        const std::size_t length = std::size_t(halfEnd(half) - half);
        auto fit = [length](HalfView& v) {
            if (!v.showsMain) v.bytes.resize(length, 0);
        };
        if (view.count(half)) fit(view[half]);
        if (restoreBase.count(half)) restoreBase[half].resize(length, 0);
        if (storedBase.count(half)) fit(storedBase[half]);
        for (Entry& entry : history)
            for (Change& c : entry) {
                if (c.half != half) continue;
                fit(c.viewBefore);
                fit(c.viewAfter);
                if (c.mainBefore) c.mainBefore->resize(length, 0);
                if (c.mainAfter) c.mainAfter->resize(length, 0);
            }
    }

    Entry pairEntry(FilePos pairPos) {
        Entry entry;
        for (FilePos half : {pairPos, pairPos + 512}) {
            if (!dirty.count(half) || half >= size()) continue;
            const Bytes bytes = typedHalf(half);
            if (direct) {
                Change c;
                c.half = half;
                c.kind = Kind::Write;
                c.viewBefore = viewOf(half);
                c.viewAfter = HalfView{};
                c.mainBefore = halfOf(main, half);
                c.mainAfter = bytes;
                entry.push_back(c);
            } else {
                entry.push_back(storeChange(half, bytes));
            }
        }
        return entry;
    }

    // Save File / Save selected Data / Save Page: the bytes of [start, end)
    // that a half shows of its own and the Main File does not hold.
    void write(FilePos start, FilePos end) {
        Entry entry;
        for (auto& [half, v] : view) {
            if (v.showsMain) continue;
            const FilePos from = std::max(start, half), to = std::min(end, halfEnd(half));
            if (from >= to) continue;
            Bytes now = halfOf(main, half);
            Bytes after = now;
            for (FilePos p = from; p < to; ++p) after[p - half] = v.bytes[p - half];
            if (after == now) continue;
            Change c;
            c.half = half;
            c.kind = Kind::Write;
            c.viewBefore = v;
            c.viewAfter = after == v.bytes ? HalfView{} : v;
            c.mainBefore = now;
            c.mainAfter = after;
            entry.push_back(c);
        }
        add(std::move(entry));
    }
    void writeAll() { write(0, size()); }

    // Discard selected Changes: the selected bytes show the Main File's again.
    void discard(FilePos start, FilePos end) {
        Entry entry;
        std::vector<std::pair<FilePos, Bytes>> stores;
        for (auto& [half, v] : view) {
            if (v.showsMain) continue;
            const FilePos from = std::max(start, half), to = std::min(end, halfEnd(half));
            if (from >= to) continue;
            Bytes after = v.bytes;
            for (FilePos p = from; p < to; ++p) after[p - half] = main[p];
            if (after != v.bytes) stores.push_back({half, after});
        }
        for (auto& [half, bytes] : stores) entry.push_back(storeChange(half, bytes));
        add(std::move(entry));
    }

    // Restore Original File: every half gets the Main File's content from
    // before the first write still in the history, and shows the Main File.
    void restore() {
        if (!keepsHistory()) return;
        Entry entry;
        for (auto& [half, v] : view) {
            std::optional<Bytes> first;
            if (restoreBase.count(half)) first = restoreBase[half];
            for (std::size_t e = 0; e < position && !first; ++e)
                for (const Change& c : history[e])
                    if (c.half == half && c.mainBefore) {
                        first = c.mainBefore;
                        break;
                    }
            const Bytes now = halfOf(main, half);
            const Bytes target = first ? *first : now;
            const bool viewChanges = !v.showsMain && v.bytes != target;
            if (target == now && !viewChanges) continue;
            Change c;
            c.half = half;
            c.kind = Kind::Restore;
            c.viewBefore = v;
            c.viewAfter = HalfView{};
            c.mainBefore = now;
            c.mainAfter = target;
            entry.push_back(c);
        }
        add(std::move(entry));
    }

    bool canUndo() const { return keepsHistory() && position > 0; }
    bool canRedo() const { return keepsHistory() && position < history.size(); }
    void undo() {
        const Entry& e = history[--position];
        for (std::size_t c = e.size(); c-- > 0;) apply(e[c], false);
    }
    void redo() {
        for (const Change& c : history[position++]) apply(c, true);
    }
};

}  // namespace quorby::testing
