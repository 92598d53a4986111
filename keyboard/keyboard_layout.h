#pragma once
// Facts about the Korvex keyboard hardware shared by the host side (the
// command protocol and the input decoder) and the firmware model: the key
// matrix, the factory key map, where each key of a profile sits, and the
// report numbers of the command protocol.

#include <array>
#include <cstdint>

namespace keyboard {

constexpr int kRows = 6;
constexpr int kColumns = 23;
constexpr int kMatrixSize = kRows * kColumns;  // 138 positions, 0..137
constexpr int kKeyCount = 111;                 // key indexes of a profile
constexpr int kReportSize = 8;

// Interfaces (HID usages on the vendor page) that carry the command protocol.
constexpr uint32_t kVendorId = 0x258A;
constexpr uint32_t kProductId = 0x0090;
constexpr uint32_t kVendorUsagePage = 0xFF00;
constexpr int kInterfaceCount = 5;  // usages 1..5
constexpr uint32_t kCommandUsage = 2;
constexpr uint32_t kKeyMapUsage = 3;
constexpr uint32_t kMacroUsage = 4;

// Key map and macro transfers.
constexpr int kChunkPayload = 6;
constexpr int kKeyMapChunks = 23;    // 23 x 6 = 138 bytes
constexpr int kMacroPayloadSize = 246;
constexpr int kMacroChunks = 41;     // 41 x 6 = 246 bytes
constexpr int kMacroEvents = 80;

constexpr int MatrixPosition(int row, int column) { return row * kColumns + column; }

// The code every matrix position produces in the factory state.
extern const std::array<uint8_t, kMatrixSize> kDefaultKeyMap;

// Matrix position of key index 0..110.
extern const std::array<uint8_t, kKeyCount> kKeyMatrixPosition;

// Positions without a key other than the first column of each row.
extern const std::array<uint8_t, 21> kUnusedPositions;

// The first column of each row (no key except key 110 at position 0).
constexpr std::array<uint8_t, kRows> kFirstColumnPositions = {0, 23, 46, 69, 92, 115};

// Function codes the keyboard performs itself (or reports to the host, for
// kHostLaunchCode), with the key map code that selects them. Searched in order.
struct FunctionKeyCode {
  int32_t function;
  uint8_t code;
};
extern const std::array<FunctionKeyCode, 14> kFunctionKeyCodes;

constexpr uint8_t kHostLaunchCode = 0xFE;   // key reports its presses to the host
constexpr uint8_t kHostReportCode = 0xCD;   // key reports to the host (other functions)
constexpr uint8_t kSingleKeyE8Code = 0xE8;
constexpr uint8_t kDisabledCode = 0x00;

// Command report identifiers: byte 0 and byte 1 of the output reports.
namespace report {
constexpr uint8_t kQuery = 0x07, kVersion = 0x80;
constexpr uint8_t kCommand = 0x0A;
constexpr uint8_t kBegin = 0x03, kReset = 0x0F, kLighting = 0x0A, kEffectColor = 0x0B,
                  kKeyColor = 0x0C, kKeyMapHeader = 0x04, kMacroHeader = 0x05;
constexpr uint8_t kKeyMapChunk = 0x0B;  // byte 0 of a key map chunk (usage 3)
constexpr uint8_t kMacroChunk = 0x0C;   // byte 0 of a macro chunk (usage 4)
}  // namespace report

}  // namespace keyboard
