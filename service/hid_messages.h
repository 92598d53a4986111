#pragma once
// Window messages that carry keyboard business between the service, the HID
// library, the settings page, the main window and the tray program, and the
// service window's timers. Plain numbers, so that portable code can use them
// without the Windows headers.

#include <cstdint>

// HID library -> transport window: wParam 1, lParam points to a DeviceState.
constexpr uint32_t WM_HID_MONITOR = 0x0502;
// -> service window: drop the registration with the HID library and register again.
constexpr uint32_t WM_HID_REREGISTER = 0x0900;
// settings library -> service window: download the profile (wParam: lighting
// too; lParam: reset first and lighting too). service -> loading window: (0, 0)
// when the download has finished.
constexpr uint32_t WM_HID_APPLY_PROFILE = 0x0650;
// -> service window: reload the data files.
constexpr uint32_t WM_HID_RELOAD = 0x0651;
// transport -> service window: one keyboard event (see key_event.h).
constexpr uint32_t WM_HID_KEY_EVENT = 0x0656;
// settings library -> service window: wParam = new current position.
// service -> settings page: (0, new current position).
constexpr uint32_t WM_HID_PROFILE_INDEX = 0x0658;
// service -> settings page: (current position, new value).
constexpr uint32_t WM_HID_LIGHT_EFFECT = 0x065A;
constexpr uint32_t WM_HID_LIGHT_DIRECTION = 0x065C;
constexpr uint32_t WM_HID_LIGHT_BRIGHTNESS = 0x065D;
// service -> service window: (0, key index) start the key's program.
constexpr uint32_t WM_HID_LAUNCH = 0x0660;
// settings library -> service window: wParam = profile position whose lighting to download.
constexpr uint32_t WM_HID_APPLY_LIGHTING = 0x0668;
// settings library -> service window: show the progress window.
constexpr uint32_t WM_HID_SHOW_PROGRESS = 0x0670;
// transport -> service window: (0, 1 present / 0 gone).
// service -> main window and tray window: (1 present / 0 gone, 0).
constexpr uint32_t WM_HID_DEVICE_CHANGE = 0x5401;
// transport -> settings page: (1 or 0, 0), the keyboard's special state.
constexpr uint32_t WM_HID_SPECIAL_STATE = 0x0460;

// Timers of the service window.
constexpr uintptr_t LINKED_PROGRAM_TIMER_ID = 0x1001;  // linked-program check while the keyboard is present
constexpr uint32_t LINKED_PROGRAM_TIMER_MS = 2000;
constexpr uintptr_t LAUNCH_BUSY_TIMER_ID = 0x0689;     // ends the debounce of a launch key, once
constexpr uint32_t LAUNCH_BUSY_TIMER_MS = 500;
