// KorvexVkb: controls and inspects the virtual keyboard. It talks to the
// keyboard running inside a process that uses Usbwarden.dll with
// KORVEX_KEYBOARD=virtual; when none runs, state, log, clear-log and reset
// work on the keyboard's stored files instead.
//
// Prints the command's JSON result on stdout and exits 0; on failure prints
// one line on stderr and exits 1, or 2 when the command line is wrong.

#include <windows.h>

#include <cstdio>
#include <string>
#include <variant>
#include <vector>

#include "hid/vkb_command.h"
#include "hid/vkb_locations.h"
#include "hid/vkb_offline.h"
#include "hid/vkb_pipe_client.h"
#include "hid/win32_text.h"

namespace {

constexpr int kFailed = 1, kBadArguments = 2;

void PrintLine(FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace korvex::hid;
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) words.push_back(WideToUtf8(argv[i]));

  const auto parsed = ParseVkbCommand(words);
  if (const std::string* error = std::get_if<std::string>(&parsed)) {
    PrintLine(stderr, "KorvexVkb: " + *error + " (" + VkbUsage() + ")");
    return kBadArguments;
  }
  const VkbCommand& command = std::get<VkbCommand>(parsed);

  std::optional<VkbOutcome> outcome = AskRunningKeyboard(ControlPipeName(), FormatVkbCommand(command));
  if (!outcome) outcome = ExecuteOnStoredKeyboard(command, VirtualKeyboardFolder());
  if (!outcome->ok) {
    PrintLine(stderr, "KorvexVkb: " + outcome->text);
    return kFailed;
  }
  PrintLine(stdout, outcome->text);
  return 0;
}
