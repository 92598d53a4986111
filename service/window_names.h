#pragma once
// Names of the windows the service looks for and the window it owns. All are
// top-level windows found by exact name, except the settings page, which is
// the child of that name of the main window.

#include <string_view>

constexpr std::u16string_view SERVICE_WINDOW_NAME = u"Korvex_Hid";
constexpr std::u16string_view MAIN_WINDOW_NAME = u"Korvex";
constexpr std::u16string_view SETTINGS_PAGE_NAME = u"Korvex";
constexpr std::u16string_view TRAY_WINDOW_NAME = u"Korvex_Beaconet";
constexpr std::u16string_view LOADING_WINDOW_NAME = u"DLGLoading";
