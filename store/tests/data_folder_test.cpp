#include "store/data_folder.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace {

using korvex::testing::ReadFileBytes;
using korvex::testing::TempFolder;
using korvex::testing::WriteFileBytes;

class FakeLocator : public IAppDataLocator {
 public:
  explicit FakeLocator(std::optional<std::filesystem::path> folder) : folder_(std::move(folder)) {}
  std::optional<std::filesystem::path> RoamingAppData() override { return folder_; }

 private:
  std::optional<std::filesystem::path> folder_;
};

TEST(DataFolder, CreatesEveryMissingLevelAndEndsWithSeparator) {
  TempFolder temp;
  FakeLocator locator(temp / "AppData");
  std::filesystem::path folder = EnsureDataFolder(locator, u"\\Korvex\\Profiles\\");
  EXPECT_EQ(folder, temp / "AppData" / "Korvex" / "Profiles" / "");
  EXPECT_TRUE(std::filesystem::is_directory(temp / "AppData" / "Korvex" / "Profiles"));
  // Existing levels are kept as they are.
  WriteFileBytes(temp / "AppData" / "Korvex" / "config.ini", "x");
  EXPECT_EQ(EnsureDataFolder(locator, u"\\Korvex\\"), temp / "AppData" / "Korvex" / "");
  EXPECT_EQ(ReadFileBytes(temp / "AppData" / "Korvex" / "config.ini"), "x");
}

TEST(DataFolder, FileInTheWayIsPassedOver) {
  TempFolder temp;
  WriteFileBytes(temp / "Korvex", "not a folder");
  FakeLocator locator(temp.Path());
  std::filesystem::path folder = EnsureDataFolder(locator, u"\\Korvex\\Macros\\");
  EXPECT_EQ(folder, temp / "Korvex" / "Macros" / "");
  EXPECT_EQ(ReadFileBytes(temp / "Korvex"), "not a folder");
  EXPECT_FALSE(std::filesystem::exists(temp / "Korvex" / "Macros"));
}

TEST(DataFolder, UnnamedApplicationDataFolderGivesEmptyPath) {
  FakeLocator locator(std::nullopt);
  EXPECT_TRUE(EnsureDataFolder(locator, u"\\Korvex\\").empty());
}

TEST(DataFolder, TextAfterLastBackslashIsNotCreated) {
  TempFolder temp;
  FakeLocator locator(temp.Path());
  EXPECT_EQ(EnsureDataFolder(locator, u"\\Korvex\\config.ini"), temp / "Korvex" / "config.ini");
  EXPECT_TRUE(std::filesystem::is_directory(temp / "Korvex"));
  EXPECT_FALSE(std::filesystem::exists(temp / "Korvex" / "config.ini"));
}

}  // namespace
