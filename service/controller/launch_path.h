#pragma once
// The path a launch key opens.

#include <string>
#include <string_view>

#include "service/controller/shell.h"

// `launch` itself, or the target of the shortcut it names. A target that does
// not exist loses every " (x86)": shortcuts made on a 64-bit system point
// into "Program Files (x86)", which other systems do not have.
std::u16string ResolveLaunchPath(std::u16string_view launch, IShell& shell);

// `text` with every occurrence of `what` removed.
std::u16string RemoveEvery(std::u16string text, std::u16string_view what);
