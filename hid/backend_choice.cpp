#include "hid/backend_choice.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace korvex::hid {

std::optional<BackendKind> ParseBackendChoice(const char* value) {
  if (value == nullptr || *value == '\0') return BackendKind::Usb;
  std::string name(value);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (name == "usb") return BackendKind::Usb;
  if (name == "virtual") return BackendKind::Virtual;
  return std::nullopt;
}

}  // namespace korvex::hid
