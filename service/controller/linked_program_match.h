#pragma once
// Matching the program in the foreground against the programs linked to the
// four profiles. Names are compared as the Windows file system compares
// them: without regard to letter case.

#include <optional>
#include <string_view>

#include "store/records.h"

// The file name and extension of a linked program entry, which may be given
// with a drive and folders: the text after the last '\', '/' or ':'.
std::u16string_view ProgramFileName(std::u16string_view entry);

// True when the two names are equal without regard to case (Latin, Greek and
// Cyrillic letters).
bool SameProgramName(std::u16string_view a, std::u16string_view b);

// The lowest list position with a linked program named `imageName`, the
// slots of each position searched in order; nothing when none is linked.
std::optional<int> FindLinkedPosition(const tagLINK_PROGRAMS (&links)[PROFILE_COUNT], std::u16string_view imageName);
