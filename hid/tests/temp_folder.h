#pragma once
// A fresh folder under the system's temporary folder, removed afterwards.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>

namespace korvex::hid::testing {

class CTempFolder {
 public:
  CTempFolder() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("korvex-hid-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~CTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace korvex::hid::testing
