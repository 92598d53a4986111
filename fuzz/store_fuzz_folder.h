#pragma once
// The folder the store's fuzz targets put their input file in: one per
// process, reused by every input and removed at exit. It lies in memory where
// the system offers it, since every input replaces the file several times.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

inline const std::filesystem::path& StoreFuzzFolder(const char* target) {
  struct Folder {
    std::filesystem::path path;
    explicit Folder(const char* name) {
      std::error_code ec;
      const std::filesystem::path base =
          std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : std::filesystem::temp_directory_path();
      path = base / (std::string("korvex-") + name + "-" + std::to_string(getpid()));
      std::filesystem::create_directories(path);
    }
    ~Folder() {
      std::error_code ec;
      std::filesystem::remove_all(path, ec);
    }
  };
  static const Folder folder(target);
  return folder.path;
}
