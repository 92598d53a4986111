#pragma once
// Paths of the files the store keeps under the data folder (profile, link and
// macro files), built from a base name chosen by the user.
//
// The data folder is the full path of the per-user data folder, with or
// without a trailing separator; an empty data folder means it could not be
// named, and no path under it is built.

#include <filesystem>
#include <string_view>

namespace korvex {

// True when `name` names a file inside one folder: it holds no folder
// separator ('/' or '\'), no colon (drive or stream name) and no NUL. Names
// come from the user and from imported files, so anything else could reach
// outside the folder.
bool IsPlainFileName(std::u16string_view name);

// `folder`/(name + extension) when `folder` is given, else
// `dataFolder`/`subFolder`/(name + extension). False, with `path` cleared,
// when the name is not a plain file name, when the folder to use is empty, or
// when the text cannot be represented as a path on this system.
bool BuildDataFilePath(const std::filesystem::path& dataFolder, std::u16string_view subFolder,
                       std::u16string_view name, std::u16string_view extension,
                       const std::filesystem::path& folder, std::filesystem::path& path);

}  // namespace korvex
