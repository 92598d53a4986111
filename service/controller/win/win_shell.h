#pragma once
// The shell and process services over Win32: ShellExecuteW, the Windows
// Installer and shell links for shortcuts, the foreground window's process.

#include "service/controller/shell.h"

class CWinShell final : public IShell {
 public:
  bool Open(std::u16string_view path) override;
  // An installer-advertised shortcut gives its component's path; otherwise a
  // shell link (.lnk) gives its target path.
  std::optional<std::u16string> ResolveShortcut(std::u16string_view path) override;
  bool FileExists(std::u16string_view path) override;
  std::optional<std::u16string> ForegroundImageName() override;
};
