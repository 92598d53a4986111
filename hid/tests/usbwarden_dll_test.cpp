// Usbwarden.dll as a client sees it: loaded by path from the product folder,
// bound by ordinal, reporting into a window of ours; its virtual keyboard
// driven from outside by KorvexVkb.exe.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "hid/usbwarden_abi.h"

namespace {

using nlohmann::json;
using Bytes = std::vector<uint8_t>;
constexpr UINT kMonitorMessage = 0x502;

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring DistFolder() {
  std::wstring relative;
  for (char c : std::string(KORVEX_DIST_FROM_TESTS)) relative += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  return ExeFolder() + L"\\" + relative;
}

// What the library reported to us: monitor messages on our window, input
// reports through our callback.
struct Reported {
  std::mutex mutex;
  std::vector<std::pair<WPARAM, usbwarden::DeviceState>> monitor;
  std::vector<std::pair<uint32_t, Bytes>> inputs;
  DWORD callbackThread = 0;
};
Reported reported;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMonitorMessage) {
    std::lock_guard lock(reported.mutex);
    reported.monitor.emplace_back(wParam, *reinterpret_cast<const usbwarden::DeviceState*>(lParam));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void __stdcall TestCallback(uint32_t deviceId, const uint8_t* bytes, uint32_t length) {
  std::lock_guard lock(reported.mutex);
  reported.inputs.emplace_back(deviceId, Bytes(bytes, bytes + length));
  reported.callbackThread = GetCurrentThreadId();
}

std::size_t MonitorCount() {
  std::lock_guard lock(reported.mutex);
  return reported.monitor.size();
}
std::size_t InputCount() {
  std::lock_guard lock(reported.mutex);
  return reported.inputs.size();
}

// Handles this thread's messages until `condition` holds or the deadline passes.
bool PumpUntil(const std::function<bool()>& condition, DWORD deadlineMs = 10000) {
  const ULONGLONG end = GetTickCount64() + deadlineMs;
  while (!condition()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 20)),
                              QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  return true;
}

struct ToolRun {
  DWORD exitCode = 0;
  std::string out, err;
};

std::string ReadAll(HANDLE pipe) {
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) && read > 0) text.append(buffer, read);
  return text;
}

// Runs KorvexVkb from the product folder with `arguments`, keeping our
// window's messages flowing meanwhile.
ToolRun RunTool(const std::wstring& arguments) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE outRead, outWrite, errRead, errWrite;
  CreatePipe(&outRead, &outWrite, &inherit, 1 << 20);
  CreatePipe(&errRead, &errWrite, &inherit, 1 << 16);
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring commandLine = L"\"" + DistFolder() + L"\\KorvexVkb.exe\" " + arguments;
  PROCESS_INFORMATION process{};
  ToolRun run;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    run.exitCode = 0xDEAD;
    run.err = "cannot start KorvexVkb";
  } else {
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    outWrite = errWrite = nullptr;
    PumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 30000);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    run.out = ReadAll(outRead);
    run.err = ReadAll(errRead);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  for (HANDLE h : {outRead, outWrite, errRead, errWrite})
    if (h) CloseHandle(h);
  return run;
}

usbwarden::DeviceFilter KeyboardFilter() {
  usbwarden::DeviceFilter filter{0x258A, 0x0090, 5, {}};
  for (uint32_t k = 0; k < 5; ++k) filter.Pairs[k] = {k + 1, 0xFF00};
  return filter;
}

class UsbwardenDllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    {
      std::lock_guard lock(reported.mutex);
      reported.monitor.clear();
      reported.inputs.clear();
    }
    // A folder and a pipe of this test's own, so a suite running beside us is
    // not disturbed.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring unique = std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount64());
    stateFolder_ = std::wstring(temp) + L"korvex-usbwarden-test-" + unique;
    SetEnvironmentVariableW(L"KORVEX_VKB_STATE_DIR", stateFolder_.c_str());
    SetEnvironmentVariableW(L"KORVEX_VKB_PIPE", (L"Korvex_VirtualKeyboard_test_" + unique).c_str());
    SetEnvironmentVariableW(L"KORVEX_KEYBOARD", L"virtual");

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"UsbwardenTestWindow";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, L"UsbwardenTestWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);

    library_ = LoadLibraryW((DistFolder() + L"\\Usbwarden.dll").c_str());
    ASSERT_NE(library_, nullptr) << "Usbwarden.dll in the product folder";
    Bind(start_, usbwarden::kStartMonitoring);
    Bind(stop_, usbwarden::kStopMonitoring);
    Bind(setFilter_, usbwarden::kSetDeviceFilter);
    Bind(setCallback_, usbwarden::kSetInputCallback);
    Bind(write_, usbwarden::kWriteReport);
    Bind(read_, usbwarden::kReadReport);
    ASSERT_TRUE(start_ && stop_ && setFilter_ && setCallback_ && write_ && read_);
  }

  void TearDown() override {
    if (library_) {
      if (stop_) stop_(0);
      FreeLibrary(library_);
    }
    if (window_) DestroyWindow(window_);
    RemoveStateFolder(stateFolder_);
  }

  template <typename Function>
  void Bind(Function& function, usbwarden::Ordinal ordinal) {
    const FARPROC address = GetProcAddress(library_, MAKEINTRESOURCEA(static_cast<WORD>(ordinal)));
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
  }

  static void RemoveStateFolder(const std::wstring& folder) {
    for (const wchar_t* name : {L"\\state.json", L"\\log.json"}) DeleteFileW((folder + name).c_str());
    RemoveDirectoryW(folder.c_str());
  }

  int32_t StartVirtualKeyboard() {
    const usbwarden::DeviceFilter filter = KeyboardFilter();
    setFilter_(&filter, 0);
    setCallback_(&TestCallback, 0);
    return start_(reinterpret_cast<usbwarden::WindowHandle>(window_), kMonitorMessage, 0);
  }

  std::vector<std::pair<WPARAM, usbwarden::DeviceState>> Monitor() {
    std::lock_guard lock(reported.mutex);
    return reported.monitor;
  }
  std::vector<std::pair<uint32_t, Bytes>> Inputs() {
    std::lock_guard lock(reported.mutex);
    return reported.inputs;
  }

  std::wstring stateFolder_;
  HWND window_ = nullptr;
  HMODULE library_ = nullptr;
  usbwarden::StartMonitoringFn start_ = nullptr;
  usbwarden::StopMonitoringFn stop_ = nullptr;
  usbwarden::SetDeviceFilterFn setFilter_ = nullptr;
  usbwarden::SetInputCallbackFn setCallback_ = nullptr;
  usbwarden::WriteReportFn write_ = nullptr;
  usbwarden::ReadReportFn read_ = nullptr;
};

TEST_F(UsbwardenDllTest, ExportsTheOperationsByOrdinalOnly) {
  EXPECT_EQ(GetProcAddress(library_, "UsbwardenStartMonitoring"), nullptr);
  EXPECT_EQ(GetProcAddress(library_, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_EQ(GetProcAddress(library_, MAKEINTRESOURCEA(6)), nullptr);
}

TEST_F(UsbwardenDllTest, VirtualKeyboardServesTheClientAndKorvexVkb) {
  ASSERT_NE(StartVirtualKeyboard(), 0);
  ASSERT_TRUE(PumpUntil([] { return MonitorCount() >= 5; })) << "five interfaces open";
  auto monitor = Monitor();
  for (uint32_t k = 0; k < 5; ++k) {
    EXPECT_EQ(monitor[k].first, 1u);
    EXPECT_EQ(monitor[k].second.State, 1u);
    EXPECT_EQ(monitor[k].second.UsageWord >> 16, k + 1);
    EXPECT_EQ(monitor[k].second.UsagePage & 0xFFFF, 0xFF00u);
  }
  const uint32_t commandInterface = monitor[1].second.DeviceID & 0xFFFF;

  // The version query and its reply.
  Bytes report = {0x07, 0x80, 0, 0, 0, 0, 0, 0};
  ASSERT_NE(write_(commandInterface, report.data(), 8, 0), 0);
  ASSERT_NE(read_(commandInterface, report.data(), 8, 0), 0);
  EXPECT_EQ(report, (Bytes{0x07, 0x80, 0x01, 0x00, 0, 0, 0, 0}));

  // A lighting report is kept.
  const Bytes lighting = {0x0A, 0x0A, 0x03, 0x04, 0x01, 0x02, 0, 0};
  ASSERT_NE(write_(commandInterface, lighting.data(), 8, 0), 0);
  EXPECT_EQ(write_(0x7777, lighting.data(), 8, 0), 0) << "unknown identifier";
  ToolRun state = RunTool(L"state");
  ASSERT_EQ(state.exitCode, 0u) << state.err;
  const json parsed = json::parse(state.out);
  EXPECT_EQ(parsed["lighting"]["effect"], 3);
  EXPECT_EQ(parsed["lighting"]["brightness"], 4);
  EXPECT_EQ(parsed["plugged"], true);

  // Reports the keyboard sends arrive through the callback, on a thread of the library.
  ToolRun input = RunTool(L"input AB CD EF");
  ASSERT_EQ(input.exitCode, 0u) << input.err;
  ASSERT_TRUE(PumpUntil([] { return InputCount() >= 1; }));
  ToolRun profile = RunTool(L"profile 2");
  ASSERT_EQ(profile.exitCode, 0u) << profile.err;
  ASSERT_TRUE(PumpUntil([] { return InputCount() >= 2; }));
  const auto inputs = Inputs();
  EXPECT_EQ(inputs[0], (std::pair<uint32_t, Bytes>{commandInterface, {0xAB, 0xCD, 0xEF}}));
  EXPECT_EQ(inputs[1], (std::pair<uint32_t, Bytes>{commandInterface, {0x0D, 0x03, 0x02, 0, 0, 0, 0, 0}}));
  {
    std::lock_guard lock(reported.mutex);
    EXPECT_NE(reported.callbackThread, GetCurrentThreadId());
  }

  // Unplugging and plugging close and open the five interfaces.
  ToolRun unplug = RunTool(L"unplug");
  ASSERT_EQ(unplug.exitCode, 0u) << unplug.err;
  ASSERT_TRUE(PumpUntil([] { return MonitorCount() >= 10; }));
  EXPECT_EQ(write_(commandInterface, lighting.data(), 8, 0), 0) << "unplugged";
  ToolRun plug = RunTool(L"plug");
  ASSERT_EQ(plug.exitCode, 0u) << plug.err;
  ASSERT_TRUE(PumpUntil([] { return MonitorCount() >= 15; }));
  monitor = Monitor();
  for (std::size_t k = 5; k < 10; ++k) EXPECT_EQ(monitor[k].second.State, 0u);
  for (std::size_t k = 10; k < 15; ++k) EXPECT_EQ(monitor[k].second.State, 1u);

  // The log lists what was written, in order.
  ToolRun log = RunTool(L"log");
  ASSERT_EQ(log.exitCode, 0u) << log.err;
  const json entries = json::parse(log.out);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0]["bytes"], json(Bytes{0x07, 0x80, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(entries[1]["usage"], 2);
  EXPECT_EQ(entries[1]["bytes"], json(lighting));

  ToolRun bad = RunTool(L"profile 7");
  EXPECT_EQ(bad.exitCode, 2u);
  EXPECT_TRUE(bad.out.empty());
  EXPECT_EQ(bad.err.find('\n'), bad.err.size() - 1) << "one line: " << bad.err;

  // Stopped: the tool works on the stored keyboard.
  stop_(0);
  ToolRun stored = RunTool(L"state");
  ASSERT_EQ(stored.exitCode, 0u) << stored.err;
  EXPECT_EQ(json::parse(stored.out)["lighting"]["effect"], 3);
  EXPECT_EQ(json::parse(stored.out)["profile"], 2);
  ToolRun storedLog = RunTool(L"log");
  ASSERT_EQ(storedLog.exitCode, 0u) << storedLog.err;
  EXPECT_EQ(json::parse(storedLog.out).size(), 2u);
  ToolRun press = RunTool(L"press 37");
  EXPECT_EQ(press.exitCode, 1u);
  EXPECT_NE(press.err.find("no virtual keyboard is running"), std::string::npos) << press.err;
}

TEST_F(UsbwardenDllTest, StoppingFromTheWindowThreadWhileAMessageIsBeingSentReturns) {
  ASSERT_NE(StartVirtualKeyboard(), 0);
  // Our thread has not handled anything yet: the library's thread is waiting
  // in the first monitor message to our window.
  stop_(0);
  EXPECT_LE(MonitorCount(), 1u) << "queued events are dropped at stop";
  ASSERT_NE(StartVirtualKeyboard(), 0) << "and monitoring starts again";
  ASSERT_TRUE(PumpUntil([] { return MonitorCount() >= 5; }));
}

TEST_F(UsbwardenDllTest, WithoutAChoiceTheUsbBackendRunsAndFindsNoKeyboardUnderWine) {
  SetEnvironmentVariableW(L"KORVEX_KEYBOARD", nullptr);
  ASSERT_NE(StartVirtualKeyboard(), 0);
  EXPECT_FALSE(PumpUntil([] { return MonitorCount() > 0; }, 300));
  const Bytes query = {0x07, 0x80, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(write_(0x0102, query.data(), 8, 0), 0);
}

TEST_F(UsbwardenDllTest, AnUnknownBackendNameFailsTheStart) {
  SetEnvironmentVariableW(L"KORVEX_KEYBOARD", L"bluetooth");
  EXPECT_EQ(StartVirtualKeyboard(), 0);
}

}  // namespace
