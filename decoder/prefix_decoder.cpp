// Prefixes, decoded by recursion: each prefix saves the state on the stack,
// changes it, notes its text and decodes what follows; the state is restored
// afterwards so that prefixes act on one instruction only.
#include "decoder/decode_context.h"
#include "decoder/opcode_tables.h"

namespace quorby::disasm::detail {

namespace {

constexpr const char* kPauseText = "PAUSE ";

void addNote(Context& c, std::uint8_t note) {
    if (c.ins.noteCount <= kMaxPrefixDepth) c.ins.notes[c.ins.noteCount++] = note;
}

void addShownNote(Context& c, std::uint8_t note) {
    if (c.state & state::kShowPrefixes) addNote(c, note);
}

// True when the prefix just read is followed by 0F and an opcode whose high
// nibble is not in `excluded` (bit n set: nibble n excluded). A REX prefix in
// between is looked through in 64-bit mode.
bool isMandatoryPrefix(const Context& c, std::uint16_t excluded) {
    std::size_t k = 0;
    int b = c.cur.peek(0);
    if (mode64(c.state) && b >= 0x40 && b <= 0x4F) b = c.cur.peek(++k);
    if (b != 0x0F) return false;
    const int op = c.cur.peek(k + 1);
    return op >= 0 && !(excluded & (1u << (op >> 4)));
}

constexpr std::uint16_t kNotMandatory66 = (1u << 0) | (1u << 4) | (1u << 8) | (1u << 9) |
                                          (1u << 0xA) | (1u << 0xB);
constexpr std::uint16_t kNotMandatoryF2F3 = (1u << 0) | (1u << 4) | (1u << 8) | (1u << 9) | (1u << 0xA);

// A mandatory prefix after a REX prefix makes the REX prefix void.
void dropRex(Context& c, bool alwaysNote) {
    if (!(c.state & state::kRexPresent)) return;
    c.state &= ~state::kRexBits;
    if (alwaysNote) addNote(c, kNoteDropRex);
    else addShownNote(c, kNoteDropRex);
}

// A prefix decoded as a plain one that may still turn out to be the
// mandatory prefix of the 0F opcode after it. F2 and F3 take precedence
// over 66, as they do for the processor.
void noteLatePrefix(Context& c, std::uint8_t b, int noteBefore) {
    if (!isMandatoryPrefix(c, 0)) return;
    if (b == 0x66 && (c.late == 0xF2 || c.late == 0xF3)) return;
    c.late = b;
    c.lateNote = c.ins.noteCount > noteBefore ? noteBefore : -1;
}

bool isRepeCompare(int b) { return b == 0xA6 || b == 0xA7 || b == 0xAE || b == 0xAF; }

}  // namespace

void decodePrefix(Context& c, std::uint8_t b) {
    if (c.depth >= kMaxPrefixDepth) {
        c.ins.invalid = true;
        return;
    }
    c.stack[c.depth++] = c.state;
    bool finished = false;  // F3 90 is complete in itself
    if (b == 0x66 || b == 0xF0 || b == 0xF2 || b == 0xF3) c.vexBlocked = true;
    // A legacy prefix after REX: the REX prefix no longer applies.
    if (b != 0x66 && b != 0xF2 && b != 0xF3) c.state &= ~state::kRexBits;
    switch (b) {
    case 0x26: addNote(c, kNoteES); break;
    case 0x2E: addNote(c, kNoteCS); break;
    case 0x36: addNote(c, kNoteSS); break;
    case 0x3E: addNote(c, kNoteDS); break;
    case 0x64: addNote(c, kNoteFS); break;
    case 0x65: addNote(c, kNoteGS); break;
    case 0x66:
        if (isMandatoryPrefix(c, kNotMandatory66)) {
            dropRex(c, true);
            if (c.mandatory == 0) c.mandatory = 0x66;
        } else {
            const int notes = c.ins.noteCount;
            c.state &= ~state::kRexBits;
            c.state = withOperandPrefix(c.state, c.baseState);
            addShownNote(c, (c.state & state::kOperand32) ? kNoteOperand32 : kNoteOperand16);
            noteLatePrefix(c, b, notes);
        }
        break;
    case 0x67:
        // The address size other than the mode's default, however often 67 repeats.
        if (c.baseState & state::kAddress64) {
            c.state = (c.state & ~state::kAddress64) | state::kAddress32;
            addShownNote(c, kNoteAddress32);
        } else if (c.baseState & state::kAddress32) {
            c.state &= ~state::kAddress32;
            addShownNote(c, kNoteAddress16);
        } else {
            c.state |= state::kAddress32;
            addShownNote(c, kNoteAddress32);
        }
        break;
    case 0xF0: addNote(c, kNoteLock); break;
    case 0xF2:
        if (isMandatoryPrefix(c, kNotMandatoryF2F3)) {
            dropRex(c, false);
            c.mandatory = 0xF2;
        } else {
            const int notes = c.ins.noteCount;
            c.state &= ~state::kRexBits;
            addNote(c, kNoteRepne);
            noteLatePrefix(c, b, notes);
        }
        break;
    case 0xF3: {
        const int next = c.cur.peek(0);
        if (next == 0x90) {
            std::uint8_t skip;
            c.cur.next(skip);
            c.ins.mnemonic = kPauseText;
            c.ins.layout = Layout::None;
            c.ins.state = c.state;
            finished = true;
            break;
        }
        if (isMandatoryPrefix(c, kNotMandatoryF2F3)) {
            dropRex(c, false);
            c.mandatory = 0xF3;
            break;
        }
        const int notes = c.ins.noteCount;
        c.state &= ~state::kRexBits;
        const bool between = next == 0x66 || next == 0x67;
        addNote(c, isRepeCompare(between ? c.cur.peek(1) : next) ? kNoteRepe : kNoteRep);
        noteLatePrefix(c, b, notes);
        break;
    }
    default:
        break;
    }
    if (!finished) decodeNext(c);
    c.state = c.stack[--c.depth];
}

void decodeNext(Context& c) {
    std::uint8_t b;
    if (!c.cur.next(b)) return;
    if (mode64(c.state) && (b & 0xF0) == 0x40) {
        if (c.depth >= kMaxPrefixDepth) {
            c.ins.invalid = true;
            return;
        }
        c.stack[c.depth++] = c.state;
        c.vexBlocked = true;
        c.state &= ~state::kRexBits;
        c.state |= state::kRexPresent;
        if (b & 8) c.state |= state::kRexW;
        if (b & 4) c.state |= state::kRexR;
        if (b & 2) c.state |= state::kRexX;
        if (b & 1) c.state |= state::kRexB;
        addShownNote(c, std::uint8_t(kNoteRex | (b & 0x0F)));
        decodeNext(c);
        c.state = c.stack[--c.depth];
        return;
    }
    if (kOpcodeTables.oneByte[b].layout == Layout::Prefix) {
        decodePrefix(c, b);
        return;
    }
    decodeOpcode(c, b);
}

}  // namespace quorby::disasm::detail
