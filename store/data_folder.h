#pragma once
// The per-user data folder: the roaming application-data folder followed by a
// relative path such as u"\\Korvex\\Profiles\\", created level by level.

#include <filesystem>
#include <optional>
#include <string_view>

class IAppDataLocator {
 public:
  virtual ~IAppDataLocator() = default;
  // The per-user roaming application-data folder, created if missing;
  // nullopt when the platform cannot name it.
  virtual std::optional<std::filesystem::path> RoamingAppData() = 0;
};

// Splits `relative` on backslashes and creates every missing folder level
// below the application-data folder A (a plain file in the way is tried and
// passed over). Returns A + relative, ending with a separator. When the
// locator cannot name A, creates nothing and returns an empty path.
std::filesystem::path EnsureDataFolder(IAppDataLocator& locator, std::u16string_view relative);
