#pragma once
// The settings record: the memory image of "quorby.dat" (4116 bytes,
// little-endian). state/settings_file.cpp reads and writes it field by field.
#include <cstdint>

namespace quorby {

inline constexpr std::uint32_t kSettingsRecordSize = 4116;
inline constexpr int kPathFieldSize = 260;
inline constexpr int kLastOpenedCount = 10;

// Bits of messageSwitches: a set bit shows the message or asks the question.
enum MessageSwitch : std::uint32_t {
    kMsgInfoAtStart = 1u << 0,
    kMsgSaveFileOnExit = 1u << 1,
    kMsgSaveJournalFile = 1u << 2,
    kMsgCompareWithF6 = 1u << 3,
    kMsgCompareFileSize = 1u << 4,
    kMsgJournalGrowing = 1u << 5,
    kMsgEnlargeDecrease = 1u << 6,
    kMsgSameDriveJournal = 1u << 7,
    kMsgWriteProtect = 1u << 8,
    kMsgTooBigForClipboard = 1u << 9,
    kMsgOverwriteJournal = 1u << 10,
    kMsgWritingDirectly = 1u << 11,
    kMsgSaveFileQuestion = 1u << 12,
    kMsgUnwrittenChanges = 1u << 13,
    kMsgDeleteJournal = 1u << 14,
    kMsgSavePage = 1u << 15,
    kMsgEscDiscard = 1u << 16,
    kMsgPasteEnlarge = 1u << 17,
    kMsgF2F4ChangeMain = 1u << 18,
};

struct SettingsRecord {
    char magic[4];              // "ehey"
    std::uint8_t separator1[4]; // 0A 0D 0A 0D
    char notice[40];
    std::uint8_t separator2[4];
    std::uint32_t fontHeight;
    std::uint32_t fontWidth;
    std::uint32_t recordSize;
    std::uint32_t messageSwitches;
    std::uint32_t writeAccess;
    std::uint32_t undoOptions;
    std::uint32_t accessMode;
    std::uint32_t scrolling;
    std::uint32_t resolution;
    std::uint32_t reserved88;
    std::uint32_t journalLocation;
    std::uint32_t doubleClickAction;
    std::uint32_t disassemblerOptions;
    std::uint32_t inspectorOptions;
    std::uint32_t inputOptions;
    std::uint32_t resizeOptions;
    std::uint32_t savedAccessFlags;
    std::uint32_t rightClickMenu;
    std::uint32_t disassemblerFlags;
    char fixedJournalPath[kPathFieldSize];
    char alternativeJournalPath[kPathFieldSize];
    char lastOpenedFiles[kLastOpenedCount][kPathFieldSize];
    char lastCompareFile[kPathFieldSize];
    char lastPasteFile[kPathFieldSize];
    char lastAppendTarget[kPathFieldSize];
    std::uint32_t userDefinedConfig[6];
    std::uint8_t reserved4052[64];
};

}  // namespace quorby
