#include "store/windows_user_registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// A key of this test's own under HKCU, removed afterwards.
class WindowsUserRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    keyPath_ = u"SOFTWARE\\KorvexStoreTest" + std::u16string(u"_") +
               std::u16string(1, static_cast<char16_t>(u'A' + GetCurrentProcessId() % 26));
    RegDeleteTreeW(HKEY_CURRENT_USER, Wide(keyPath_));
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, Wide(keyPath_)); }

  static const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

  bool CreateKey() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(keyPath_), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
  }

  bool KeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(keyPath_), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  // Type, size in bytes and data of a value, read back with RegQueryValueExW.
  bool Query(const wchar_t* name, DWORD& type, std::string& data) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(keyPath_), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
      data.assign(size, '\0');
      status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
      data.resize(size);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
  }

  std::u16string keyPath_;
};

TEST_F(WindowsUserRegistryTest, WritesStringWithTerminatorAndDword) {
  ASSERT_TRUE(CreateKey());
  CWindowsUserRegistry registry(keyPath_);
  EXPECT_TRUE(registry.SetString(u"FWVersion", u"V1.07"));
  EXPECT_TRUE(registry.SetDword(u"DevicePlug", 1));

  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(Query(L"FWVersion", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(data, std::string("V\0001\000.\0000\0007\0\0\0", 12));
  ASSERT_TRUE(Query(L"DevicePlug", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(data, std::string("\1\0\0\0", 4));

  EXPECT_TRUE(registry.SetString(u"FWVersion", u""));
  ASSERT_TRUE(Query(L"FWVersion", type, data));
  EXPECT_EQ(data, std::string("\0\0", 2));
}

TEST_F(WindowsUserRegistryTest, MissingKeyIsNotCreated) {
  CWindowsUserRegistry registry(keyPath_);
  EXPECT_FALSE(registry.SetString(u"FWVersion", u"V1"));
  EXPECT_FALSE(registry.SetDword(u"DevicePlug", 0));
  EXPECT_FALSE(KeyExists());
}

}  // namespace
