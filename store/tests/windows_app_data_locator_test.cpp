#include "store/windows_app_data_locator.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <system_error>

namespace {

TEST(WindowsAppDataLocator, NamesAnExistingFolderAndDataFolderGoesBelowIt) {
  CWindowsAppDataLocator locator;
  std::optional<std::filesystem::path> appData = locator.RoamingAppData();
  ASSERT_TRUE(appData.has_value());
  EXPECT_TRUE(std::filesystem::is_directory(*appData));

  std::u16string level = u"KorvexStoreTest" + std::u16string(1, static_cast<char16_t>(u'A' + GetCurrentProcessId() % 26));
  std::filesystem::path folder = EnsureDataFolder(locator, u"\\" + level + u"\\Profiles\\");
  EXPECT_EQ(folder, *appData / level / "Profiles" / "");
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  std::error_code ec;
  std::filesystem::remove_all(*appData / level, ec);
}

}  // namespace
