// KorvexPost: finds a window by its window name and posts it a message, or
// waits for a window to appear or to go away, or prints its rectangle. Used
// by run.sh and the end-to-end tests to act as the suite's other programs do.
//
//   KorvexPost post NAME MESSAGE [WPARAM [LPARAM]]   exit 0 when posted, 1 when no such window
//   KorvexPost wait NAME TIMEOUT_MS                  exit 0 once the window exists, 1 at the deadline
//   KorvexPost wait-gone NAME TIMEOUT_MS             exit 0 once no such window exists, 1 at the deadline
//   KorvexPost wait-visible NAME TIMEOUT_MS          exit 0 once the window is shown, 1 at the deadline
//   KorvexPost rect NAME                             prints "left top right bottom visible"
//   KorvexPost count NAME                            prints how many top-level windows have that name
// Numbers are decimal or 0x-hexadecimal. A wrong command line exits 2.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <functional>

#include "tests/e2e/helpers/command_line_numbers.h"

namespace {

constexpr int kFailed = 1, kBadArguments = 2;
constexpr DWORD kPollMs = 10;

int Usage() {
  std::fwprintf(stderr,
                L"usage: KorvexPost post NAME MESSAGE [WPARAM [LPARAM]] | wait NAME MS | wait-gone NAME MS | "
                L"wait-visible NAME MS | rect NAME | count NAME\n");
  return kBadArguments;
}

HWND Find(const wchar_t* name) { return FindWindowW(nullptr, name); }

// Polls `condition` until it holds or `timeoutMs` have passed.
bool WaitFor(const std::function<bool()>& condition, long long timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPollMs);
  }
}

int Post(int argc, wchar_t** argv) {
  if (argc < 4 || argc > 6) return Usage();
  const auto message = ParseNumber(argv[3]);
  const auto wParam = argc > 4 ? ParseNumber(argv[4]) : std::optional<long long>(0);
  const auto lParam = argc > 5 ? ParseNumber(argv[5]) : std::optional<long long>(0);
  if (!message || !wParam || !lParam) return Usage();
  const HWND window = Find(argv[2]);
  if (!window) {
    std::fwprintf(stderr, L"KorvexPost: no window named \"%ls\"\n", argv[2]);
    return kFailed;
  }
  if (!PostMessageW(window, static_cast<UINT>(*message), static_cast<WPARAM>(*wParam), static_cast<LPARAM>(*lParam)))
    return kFailed;
  return 0;
}

int Wait(int argc, wchar_t** argv, const std::function<bool(HWND)>& condition) {
  if (argc != 4) return Usage();
  const auto timeout = ParseNumber(argv[3]);
  if (!timeout || *timeout < 0) return Usage();
  const wchar_t* name = argv[2];
  return WaitFor([&] { return condition(Find(name)); }, *timeout) ? 0 : kFailed;
}

int Count(int argc, wchar_t** argv) {
  if (argc != 3) return Usage();
  struct Search {
    const wchar_t* name;
    int found;
  } search{argv[2], 0};
  EnumWindows(
      [](HWND window, LPARAM parameter) -> BOOL {
        auto* s = reinterpret_cast<Search*>(parameter);
        wchar_t text[256] = {};
        GetWindowTextW(window, text, 256);
        if (std::wcscmp(text, s->name) == 0) ++s->found;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  std::wprintf(L"%d\n", search.found);
  return 0;
}

int Rect(int argc, wchar_t** argv) {
  if (argc != 3) return Usage();
  const HWND window = Find(argv[2]);
  RECT rect{};
  if (!window || !GetWindowRect(window, &rect)) return kFailed;
  std::wprintf(L"%ld %ld %ld %ld %d\n", rect.left, rect.top, rect.right, rect.bottom, IsWindowVisible(window) ? 1 : 0);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring_view verb = argv[1];
  if (verb == L"post") return Post(argc, argv);
  if (verb == L"wait") return Wait(argc, argv, [](HWND w) { return w != nullptr; });
  if (verb == L"wait-gone") return Wait(argc, argv, [](HWND w) { return w == nullptr; });
  if (verb == L"wait-visible") return Wait(argc, argv, [](HWND w) { return w && IsWindowVisible(w); });
  if (verb == L"rect") return Rect(argc, argv);
  if (verb == L"count") return Count(argc, argv);
  return Usage();
}
