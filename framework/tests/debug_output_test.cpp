#include "framework/debug_output.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

TEST(DebugOutput, FormatsWideStringsTheWindowsWay) {
  EXPECT_EQ(FormatWide(L"%s\\Beaconet.exe", L"C:\\Korvex"), L"C:\\Korvex\\Beaconet.exe");
  EXPECT_EQ(FormatWide(L"ID:0x%x,Length=0x%x,%d,%hs", 0xABu, 8u, -5, "narrow"),
            L"ID:0xab,Length=0x8,-5,narrow");
  EXPECT_EQ(FormatWide(L"Ключ %s", L"Профиль"), L"Ключ Профиль");
}

TEST(DebugOutput, CutsOverlongLines) {
  std::wstring longText(5000, L'x');
  std::wstring line = FormatWide(L"%s!", longText.c_str());
  EXPECT_EQ(line.size(), 1023u);
  EXPECT_EQ(line, std::wstring(1023, L'x'));
  DebugPrint(L"%s\n", longText.c_str());  // must not overrun
}

}  // namespace
}  // namespace korvex
