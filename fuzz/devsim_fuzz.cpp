// Drives the virtual keyboard with arbitrary traffic: reports of any usage,
// length and content, reads of any length, and the keyboard's own key
// actions. Each report is copied into a buffer of exactly its length so a read
// past the end is caught. At the end the log must survive a JSON round trip.
//
// Input: a sequence of operations. Byte `op`:
//   00-7F  write: usage = op & 7, then a length byte (low nibble; 12-15 mean 8),
//          then that many report bytes
//   80-BF  read: usage = op & 7, then a length byte (low nibble)
//   C0-FF  keyboard action op & 7 with the next byte as its value
// An input starting with '{' or '[' is instead parsed as a state file and a
// log; a state that parses must survive a JSON round trip unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "devsim/state_json.h"
#include "devsim/virtual_keyboard.h"

using namespace korvex::devsim;

namespace {

struct Input {
  const uint8_t* data;
  std::size_t size, pos = 0;
  bool More() const { return pos < size; }
  uint8_t Next() { return pos < size ? data[pos++] : 0; }
};

void Check(bool condition) {
  if (!condition) std::abort();
}

void KeyboardAction(CVirtualKeyboard& keyboard, int action, uint8_t value) {
  const int v = static_cast<int>(value) - 8;  // reaches just below 0 and far above every range
  switch (action) {
    case 0: keyboard.SwitchProfile(v); break;
    case 1: keyboard.ChangeEffect(v); break;
    case 2: keyboard.ChangeDirection(v); break;
    case 3: keyboard.ChangeBrightness(v); break;
    case 4: keyboard.KeyEvent(v, value & 1); break;
    case 5: keyboard.SetSpecialState(value & 1); break;
    case 6: (value & 1) ? keyboard.Plug() : keyboard.Unplug(); break;
    default: keyboard.SetFirmwareVersion(value, static_cast<uint8_t>(~value)); break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size > 0 && (data[0] == '{' || data[0] == '[')) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    KeyboardState state;
    std::vector<LogEntry> log;
    if (StateFromJsonText(text, state)) {
      KeyboardState again;
      Check(StateFromJsonText(StateToJsonText(state), again) && again == state);
    }
    ReportLogFromJsonText(text, log);
    return 0;
  }

  int64_t now = 0;
  CVirtualKeyboard keyboard([&now] { return now++; });
  Input in{data, size};
  while (in.More()) {
    const uint8_t op = in.Next();
    if (op < 0x80) {
      std::size_t length = in.Next() & 0x0F;
      if (length >= 12) length = kReportSize;
      auto bytes = std::make_unique<uint8_t[]>(length ? length : 1);
      for (std::size_t i = 0; i < length; ++i) bytes[i] = in.Next();
      keyboard.ReceiveReport(op & 7, length ? bytes.get() : nullptr, length);
    } else if (op < 0xC0) {
      const std::size_t length = in.Next() & 0x0F;
      auto buffer = std::make_unique<uint8_t[]>(length ? length : 1);
      keyboard.ReadReport(op & 7, length ? buffer.get() : nullptr, length);
    } else {
      KeyboardAction(keyboard, op & 7, in.Next());
    }
  }

  // Every error is a received report, and every received report is logged.
  const std::vector<LogEntry> log = keyboard.Log();
  Check(keyboard.State().errors <= log.size());
  std::vector<LogEntry> readLog;
  Check(ReportLogFromJsonText(ReportLogToJsonText(log), readLog) && readLog == log);
  return 0;
}
