#pragma once
// The few shell and process services the controller needs: starting a
// program or document, following a shortcut to its target, and naming the
// program in the foreground.

#include <optional>
#include <string>
#include <string_view>

class IShell {
 public:
  virtual ~IShell() = default;
  // Opens `path` with the shell's "open" verb, no parameters, no working
  // folder, shown normally. False when the shell refused.
  virtual bool Open(std::u16string_view path) = 0;
  // The target of the shortcut at `path` (an installer-advertised shortcut or
  // a shell link), or nothing when `path` is not a shortcut that resolves.
  virtual std::optional<std::u16string> ResolveShortcut(std::u16string_view path) = 0;
  // True when a file or a folder exists at `path`.
  virtual bool FileExists(std::u16string_view path) = 0;
  // Image file name (name and extension, no folder) of the process that owns
  // the foreground window, or nothing when it cannot be found.
  virtual std::optional<std::u16string> ForegroundImageName() = 0;
};
