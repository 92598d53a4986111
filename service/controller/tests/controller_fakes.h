#pragma once
// Test doubles for the controller's own seams: timers, shell, progress
// window and the per-user registry.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "service/clock.h"
#include "service/controller/progress_window.h"
#include "service/controller/shell.h"
#include "service/controller/timer_host.h"
#include "store/user_registry.h"

// Timers that only tick when the test calls the controller's OnTimer.
class FakeTimerHost final : public ITimerHost {
 public:
  void SetTimer(uintptr_t id, uint32_t ms) override { running[id] = ms; }
  void KillTimer(uintptr_t id) override { running.erase(id); }
  bool IsRunning(uintptr_t id, uint32_t ms) const {
    auto it = running.find(id);
    return it != running.end() && it->second == ms;
  }
  std::map<uintptr_t, uint32_t> running;
};

class FakeShell final : public IShell {
 public:
  bool Open(std::u16string_view path) override {
    opened.emplace_back(path);
    return true;
  }
  std::optional<std::u16string> ResolveShortcut(std::u16string_view path) override {
    auto it = shortcuts.find(std::u16string(path));
    if (it == shortcuts.end()) return std::nullopt;
    return it->second;
  }
  bool FileExists(std::u16string_view path) override { return existing.count(std::u16string(path)) != 0; }
  std::optional<std::u16string> ForegroundImageName() override { return foreground; }

  std::map<std::u16string, std::u16string> shortcuts;  // shortcut -> target
  std::set<std::u16string> existing;
  std::optional<std::u16string> foreground;
  std::vector<std::u16string> opened;
};

// Records "show", "pos:<v>" and "close" in call order.
class FakeProgressWindow final : public IProgressWindow {
 public:
  void Show() override { calls.push_back("show"); }
  void SetPosition(int value) override { calls.push_back("pos:" + std::to_string(value)); }
  void Close() override { calls.push_back("close"); }
  std::vector<std::string> calls;
};

class FakeRegistry final : public IUserRegistry {
 public:
  bool SetString(std::u16string_view name, std::u16string_view value) override {
    strings[std::u16string(name)] = value;
    return true;
  }
  bool SetDword(std::u16string_view name, uint32_t value) override {
    dwords[std::u16string(name)] = value;
    return true;
  }
  std::map<std::u16string, std::u16string> strings;
  std::map<std::u16string, uint32_t> dwords;
};

// A clock whose pauses advance at once and can run a hook at a given pause,
// to change the world in the middle of a download.
class HookedClock final : public IClock {
 public:
  uint64_t NowMs() override { return now_; }
  void SleepMs(uint32_t ms) override {
    now_ += ms;
    sleeps.push_back(ms);
    if (hook && sleeps.size() == hookAtSleep) hook();
  }
  std::vector<uint32_t> sleeps;
  size_t hookAtSleep = 0;
  std::function<void()> hook;

 private:
  uint64_t now_ = 0;
};
