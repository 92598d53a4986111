#include "service/controller/launch_path.h"

#include <optional>

std::u16string RemoveEvery(std::u16string text, std::u16string_view what) {
  if (what.empty()) return text;
  for (size_t at = text.find(what); at != std::u16string::npos; at = text.find(what, at)) text.erase(at, what.size());
  return text;
}

std::u16string ResolveLaunchPath(std::u16string_view launch, IShell& shell) {
  std::optional<std::u16string> target = shell.ResolveShortcut(launch);
  if (!target) return std::u16string(launch);
  if (!shell.FileExists(*target)) return RemoveEvery(std::move(*target), u" (x86)");
  return std::move(*target);
}
