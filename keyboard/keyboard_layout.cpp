#include "keyboard/keyboard_layout.h"

namespace keyboard {

const std::array<uint8_t, kMatrixSize> kDefaultKeyMap = {
    // row 0
    0x00, 0x29, 0x00, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x00, 0x45,
    0x46, 0x47, 0x48, 0x00, 0x00, 0x00, 0x00,
    // row 1
    0x00, 0x35, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x2D, 0x2E, 0x00, 0x2A,
    0x49, 0x4A, 0x4B, 0x53, 0x54, 0x55, 0x56,
    // row 2
    0x00, 0x2B, 0x14, 0x1A, 0x08, 0x15, 0x17, 0x1C, 0x18, 0x0C, 0x12, 0x13, 0x2F, 0x30, 0x00, 0x31,
    0x4C, 0x4D, 0x4E, 0x5F, 0x60, 0x61, 0x57,
    // row 3
    0x00, 0x39, 0x04, 0x16, 0x07, 0x09, 0x0A, 0x0B, 0x0D, 0x0E, 0x0F, 0x33, 0x34, 0x32, 0x00, 0x28,
    0x00, 0x00, 0x00, 0x5C, 0x5D, 0x5E, 0x85,
    // row 4
    0x00, 0xE1, 0x64, 0x1D, 0x1B, 0x06, 0x19, 0x05, 0x11, 0x10, 0x36, 0x37, 0x38, 0x87, 0x00, 0xE5,
    0x00, 0x52, 0x00, 0x59, 0x5A, 0x5B, 0x58,
    // row 5
    0x00, 0xE0, 0xE3, 0xE2, 0x00, 0x00, 0x2C, 0x00, 0x00, 0xE6, 0xAC, 0x65, 0x00, 0xE4, 0x00, 0x00,
    0x50, 0x51, 0x4F, 0x62, 0x00, 0x63, 0x00,
};

namespace {
constexpr uint8_t P(int row, int column) { return static_cast<uint8_t>(MatrixPosition(row, column)); }
}  // namespace

const std::array<uint8_t, kKeyCount> kKeyMatrixPosition = {
    P(0, 1),  P(0, 3),  P(0, 4),  P(0, 5),  P(0, 6),  P(0, 7),  P(0, 8),  P(0, 9),  P(0, 10),
    P(0, 11), P(0, 12), P(0, 13), P(0, 15), P(0, 16), P(0, 17), P(0, 18),                // 0..15
    P(1, 1),  P(1, 2),  P(1, 3),  P(1, 4),  P(1, 5),  P(1, 6),  P(1, 7),  P(1, 8),  P(1, 9),
    P(1, 10), P(1, 11), P(1, 12), P(1, 13), P(1, 15), P(1, 16), P(1, 17), P(1, 18), P(1, 19),
    P(1, 20), P(1, 21), P(1, 22),                                                        // 16..36
    P(2, 1),  P(2, 2),  P(2, 3),  P(2, 4),  P(2, 5),  P(2, 6),  P(2, 7),  P(2, 8),  P(2, 9),
    P(2, 10), P(2, 11), P(2, 12), P(2, 13), P(2, 15), P(2, 16), P(2, 17), P(2, 18), P(2, 19),
    P(2, 20), P(2, 21), P(2, 22),                                                        // 37..57
    P(3, 1),  P(3, 2),  P(3, 3),  P(3, 4),  P(3, 5),  P(3, 6),  P(3, 7),  P(3, 8),  P(3, 9),
    P(3, 10), P(3, 11), P(3, 12), P(3, 15), P(3, 19), P(3, 20), P(3, 21),                // 58..73
    P(4, 1),  P(4, 3),  P(4, 4),  P(4, 5),  P(4, 6),  P(4, 7),  P(4, 8),  P(4, 9),  P(4, 10),
    P(4, 11), P(4, 12), P(4, 15), P(4, 17), P(4, 19), P(4, 20), P(4, 21), P(4, 22),      // 74..90
    P(5, 1),  P(5, 2),  P(5, 3),  P(5, 6),  P(5, 9),  P(5, 10), P(5, 11), P(5, 13), P(5, 16),
    P(5, 17), P(5, 18), P(5, 19), P(5, 21),                                              // 91..103
    P(3, 13), P(4, 2),  P(4, 13), P(3, 22), P(1, 14), P(4, 16), P(0, 0),                 // 104..110
};

const std::array<uint8_t, 21> kUnusedPositions = {
    P(0, 2),  P(0, 19), P(0, 20), P(0, 21), P(0, 22), P(2, 14), P(3, 14),
    P(3, 16), P(3, 17), P(3, 18), P(4, 14), P(4, 18), P(5, 4),  P(5, 5),
    P(5, 7),  P(5, 8),  P(5, 12), P(5, 14), P(5, 15), P(5, 20), P(5, 22),
};

const std::array<FunctionKeyCode, 14> kFunctionKeyCodes = {{
    {0x180, 0xFE},  // launch a program (reported to the host)
    {0x1A5, 0xD3},  // back
    {0x1E8, 0xD4},  // forward
    {0x1C0, 0xB0},  // media player
    {0x1C4, 0xA7},  // play / pause
    {0x1C7, 0xA5},  // stop
    {0x1C5, 0xA6},  // previous track
    {0x1C6, 0xA8},  // next track
    {0x1C1, 0xAB},  // volume up
    {0x1C2, 0xAA},  // volume down
    {0x1C3, 0xA9},  // mute
    {0x1E2, 0xB8},  // calculator
    {0x1E5, 0xB9},  // my computer
    {0x1E7, 0xBB},  // web home
}};

}  // namespace keyboard
