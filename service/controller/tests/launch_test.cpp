// Starting a launch key's program.

#include "service/controller/launch_path.h"
#include "service/controller/tests/controller_fixture.h"

namespace {

struct LaunchCase {
  const char16_t* launch;
  const char16_t* shortcutTarget;  // null: not a shortcut
  bool targetExists;
  const char16_t* opened;
};

class LaunchPathTest : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(LaunchPathTest, OpensTheShortcutTargetOrThePathItself) {
  const LaunchCase& c = GetParam();
  FakeShell shell;
  if (c.shortcutTarget) shell.shortcuts[c.launch] = c.shortcutTarget;
  if (c.targetExists) shell.existing.insert(c.shortcutTarget);

  EXPECT_EQ(ResolveLaunchPath(c.launch, shell), c.opened);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LaunchPathTest,
    ::testing::Values(
        LaunchCase{u"C:\\Tools\\app.exe", nullptr, false, u"C:\\Tools\\app.exe"},
        // A plain path keeps " (x86)": only shortcut targets are corrected.
        LaunchCase{u"C:\\Program Files (x86)\\app.exe", nullptr, false, u"C:\\Program Files (x86)\\app.exe"},
        LaunchCase{u"C:\\Links\\app.lnk", u"C:\\Program Files (x86)\\App\\app.exe", true,
                   u"C:\\Program Files (x86)\\App\\app.exe"},
        LaunchCase{u"C:\\Links\\app.lnk", u"C:\\Program Files (x86)\\App (x86)\\app.exe", false,
                   u"C:\\Program Files\\App\\app.exe"},
        LaunchCase{u"C:\\Links\\app.lnk", u"D:\\Games\\game.exe", false, u"D:\\Games\\game.exe"}));

TEST(RemoveEveryTest, RemovesEachOccurrence) {
  EXPECT_EQ(RemoveEvery(u"a (x86) b (x86)", u" (x86)"), u"a b");
  EXPECT_EQ(RemoveEvery(u" (x86) (x86)", u" (x86)"), u"");
  EXPECT_EQ(RemoveEvery(u"abc", u""), u"abc");
}

class LaunchTest : public ControllerTest {
 protected:
  void SetUp() override {
    desktop.AddTopLevel(u"Korvex_Beaconet", window::kTray);  // no tray program start
    Start();
  }
};

TEST_F(LaunchTest, OpensTheKeysProgramAndPauses) {
  EditCurrentProfile([](tagPROFILE_DATA& p) { CopyFixedText(p.keys[7].launch, u"C:\\Links\\game.lnk"); });
  shell.shortcuts[u"C:\\Links\\game.lnk"] = u"C:\\Program Files (x86)\\Game\\game.exe";
  const size_t sleeps = clock.sleeps.size();

  controller->OnLaunch(7);

  EXPECT_EQ(shell.opened, (std::vector<std::u16string>{u"C:\\Program Files\\Game\\game.exe"}));
  EXPECT_EQ(std::vector<uint32_t>(clock.sleeps.begin() + static_cast<std::ptrdiff_t>(sleeps), clock.sleeps.end()),
            std::vector<uint32_t>{5});
}

TEST_F(LaunchTest, EmptyLaunchOrUnknownKeyDoesNothing) {
  for (intptr_t key : {intptr_t{3}, intptr_t{-1}, intptr_t{111}, intptr_t{1000}}) controller->OnLaunch(key);

  EXPECT_TRUE(shell.opened.empty());
  EXPECT_TRUE(clock.sleeps.empty());
}

}  // namespace
