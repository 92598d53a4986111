#pragma once
// A fresh, empty folder under the system's temporary folder for one test or
// benchmark, removed with everything in it when the object goes; and the whole
// bytes of a file, read and written in one call.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <ios>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace korvex::testing {

class TempFolder {
 public:
  // The folder's name is `prefix`, a random value and a number counted up per
  // process; a name that is already taken is skipped, so the folder is always
  // new and empty.
  explicit TempFolder(std::string_view prefix = "korvex-test") {
    static std::atomic<unsigned long long> counter{0};
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    std::random_device device;
    // Some runtimes give a fixed sequence from random_device; the clock keeps
    // two processes of such a runtime apart.
    const auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::mt19937_64 random(stamp ^ (static_cast<unsigned long long>(device()) << 32 | device()));
    for (;;) {
      path_ = base / (std::string(prefix) + "-" + std::to_string(random()) + "-" + std::to_string(counter++));
      if (std::filesystem::create_directory(path_)) break;
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

  // Creates the sub-folder `name` (with any folders on the way) and returns it.
  std::filesystem::path Sub(const std::filesystem::path& name) const {
    std::filesystem::path sub = path_ / name;
    std::filesystem::create_directories(sub);
    return sub;
  }

 private:
  std::filesystem::path path_;
};

// Everything in the file at `path`; empty when there is no such file or it
// cannot be read.
inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Makes the file at `path` hold exactly `bytes`. A file that cannot be written
// throws, so the test or benchmark stops instead of working on wrong input.
inline void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    throw std::filesystem::filesystem_error("cannot write the file", path,
                                            std::make_error_code(std::errc::io_error));
  }
}

}  // namespace korvex::testing
