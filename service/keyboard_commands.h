#pragma once
// The keyboard's command reports: each operation builds its 8-byte reports,
// writes them through the transport to the interface of the right usage
// (2 commands, 3 key map, 4 macros) and makes the pause the keyboard needs
// after each one. Reports are never sent faster than these pauses allow.
//
// Every operation first makes sure the transport is registered; when that
// fails it returns kFailed without writing or pausing. Otherwise the result
// is that of its first write; later writes of the same operation are still
// made, and their pauses kept, when one fails.

#include <cstdint>

#include "service/clock.h"
#include "service/download_payloads.h"
#include "service/usb_driver.h"
#include "store/records.h"

enum class CommandResult { kOk = 0, kFailed = 1 };

// Pauses after each kind of report, in milliseconds.
namespace command_pause {
constexpr uint32_t kBeforeVersionQuery = 3000;  // lets a just-plugged keyboard settle
constexpr uint32_t kCommand = 200;              // reset, lighting, colours, headers
constexpr uint32_t kChunk = 60;                 // key map and macro data
constexpr uint32_t kKeyColor = 20;
}  // namespace command_pause

class CKeyboardCommands {
 public:
  CKeyboardCommands(CUSBDriver& transport, IClock& clock) : transport_(transport), clock_(clock) {}

  CUSBDriver& Transport() { return transport_; }

  // Asks for the firmware version. `major` and `minor` (either may be null)
  // are set only when both the query and the reply went through.
  CommandResult QueryFirmwareVersion(uint8_t* major, uint8_t* minor);
  CommandResult SendBeginCommand();
  CommandResult SendResetCommand();
  // Effect, brightness, speed and colour mode; effects without a colour mode
  // of their own travel with mode 7. The direction is not sent.
  void SendLighting(const tagLIGHT_SETTING& lighting);
  // `color` is 0x00BBGGRR; `position` is the profile position.
  void SendEffectColor(uint32_t color, uint8_t position);
  CommandResult SendKeyColor(uint32_t color, uint8_t position, uint8_t matrixPosition);
  // The header, then 23 chunks of six bytes. Result of the header.
  CommandResult SendKeyMap(const KeyMap& map);
  // The header naming slot matrixPosition + 1, then 41 chunks of six bytes.
  // Result of the header.
  CommandResult SendMacro(const MacroPayload& payload, uint8_t matrixPosition);

 private:
  // Writes one report and pauses; true when the write succeeded.
  bool Send(uint32_t usage, const HidReport& report, uint32_t pauseMs);
  // Header, then the chunks of `data`, each numbered from 1.
  template <size_t N>
  CommandResult SendChunked(const HidReport& header, uint32_t usage, uint8_t chunkKind,
                            const std::array<uint8_t, N>& data);

  CUSBDriver& transport_;
  IClock& clock_;
};
