#pragma once
// Where the virtual keyboard keeps its files and where its control channel
// listens, shared by the library and the control tool.
//
//   folder: %APPDATA%\Korvex\VirtualKeyboard, or the folder named by
//           KORVEX_VKB_STATE_DIR (a test and development aid);
//   pipe:   \\.\pipe\Korvex_VirtualKeyboard, or \\.\pipe\<name> for the name
//           given in KORVEX_VKB_PIPE (lets tests run beside a real session).

#include <filesystem>
#include <string>

namespace korvex::hid {

std::filesystem::path VirtualKeyboardFolder();
std::wstring ControlPipeName();

}  // namespace korvex::hid
