#pragma once
// The backend named by the environment variable KORVEX_KEYBOARD: "usb" for
// the real keyboard's HID interfaces, "virtual" for the built-in virtual
// keyboard. Unset or empty means "usb", so an installed suite talks to the
// hardware unless told otherwise.

#include <optional>
#include <string_view>

namespace korvex::hid {

enum class BackendKind { Usb, Virtual };

inline constexpr const char* kBackendVariable = "KORVEX_KEYBOARD";

// The backend for the variable's value (nullptr when unset). Letter case is
// ignored; any other value names no backend.
std::optional<BackendKind> ParseBackendChoice(const char* value);

}  // namespace korvex::hid
