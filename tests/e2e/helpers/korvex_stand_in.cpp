// KorvexStandIn: stands in for a window of another program (the main window
// and its settings page, the tray program, the loading window, dialogs, a
// program in the foreground). It creates top-level windows with the given
// names and appends every message of the suite's protocol it receives to a
// log file, one line each, so a test can see what the service told whom.
//
//   KorvexStandIn LOG [--foreground] [--child CHILD] NAME...
//
// --child gives the first window a child window of that name (the settings
// page inside the main window); --foreground shows the first window and
// brings it to the front. The log gets "ready" once every window exists,
// then "NAME MESSAGE WPARAM LPARAM" (hexadecimal message, decimal
// parameters; a child's NAME is "PARENT/CHILD"). WM_CLOSE closes the window
// it reaches; the program ends when its last top-level window is gone.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kClassName = L"KorvexStandIn";
FILE* g_log = nullptr;
int g_topLevelWindows = 0;

void Log(const std::wstring& line) {
  std::fwprintf(g_log, L"%ls\n", line.c_str());
  std::fflush(g_log);
}

std::wstring LogName(HWND window) {
  wchar_t name[256] = {};
  GetWindowTextW(window, name, 256);
  const HWND parent = (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
  if (!parent) return name;
  wchar_t parentName[256] = {};
  GetWindowTextW(parent, parentName, 256);
  return std::wstring(parentName) + L"/" + name;
}

// The suite's messages: the private range, and WM_CLOSE.
bool IsProtocolMessage(UINT message) { return message == WM_CLOSE || (message >= WM_USER && message < 0xC000); }

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsProtocolMessage(message)) {
    wchar_t line[512];
    std::swprintf(line, 512, L"%ls 0x%04x %llu %lld", LogName(window).c_str(), message,
                  static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
    Log(line);
  }
  if (message == WM_DESTROY && !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) && --g_topLevelWindows == 0)
    PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

int Usage() {
  std::fwprintf(stderr, L"usage: KorvexStandIn LOG [--foreground] [--child CHILD] NAME...\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  bool foreground = false;
  std::wstring child;
  std::vector<std::wstring> names;
  for (int i = 2; i < argc; ++i) {
    const std::wstring word = argv[i];
    if (word == L"--foreground") {
      foreground = true;
    } else if (word == L"--child" && i + 1 < argc) {
      child = argv[++i];
    } else {
      names.push_back(word);
    }
  }
  if (names.empty()) return Usage();
  g_log = _wfopen(argv[1], L"a");
  if (!g_log) return 1;

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&windowClass);

  std::vector<HWND> windows;
  for (const std::wstring& name : names) {
    const bool shown = foreground && windows.empty();
    const HWND window = CreateWindowExW(0, kClassName, name.c_str(), WS_OVERLAPPEDWINDOW | (shown ? WS_VISIBLE : 0),
                                        40, 40, 320, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return 1;
    ++g_topLevelWindows;
    windows.push_back(window);
  }
  if (!child.empty() &&
      !CreateWindowExW(0, kClassName, child.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, windows.front(), nullptr,
                       windowClass.hInstance, nullptr))
    return 1;
  if (foreground) SetForegroundWindow(windows.front());
  Log(L"ready");

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  std::fclose(g_log);
  return 0;
}
