// KorvexLaunchMarker: a program for launch keys to start. Each start appends
// one line to a file beside the program named after it ("<program>.runs"),
// so copies under other names keep separate counts.

#include <windows.h>

#include <cstdio>
#include <string>

int wmain() {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return 1;
  path.resize(length);
  FILE* runs = _wfopen((path + L".runs").c_str(), L"a");
  if (!runs) return 1;
  std::fprintf(runs, "started %lu\n", GetCurrentProcessId());
  std::fclose(runs);
  return 0;
}
