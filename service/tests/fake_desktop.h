#pragma once
// A desktop of named windows that records what is posted to them.

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "service/desktop.h"

struct PostedMessage {
  WindowHandle window;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
  friend bool operator==(const PostedMessage&, const PostedMessage&) = default;
};

class FakeDesktop final : public IDesktop {
 public:
  void AddTopLevel(std::u16string name, WindowHandle window) { topLevel_[std::move(name)] = window; }
  void AddChild(WindowHandle parent, std::u16string name, WindowHandle window) {
    children_[{parent, std::move(name)}] = window;
  }

  WindowHandle FindTopLevelWindow(std::u16string_view name) override {
    auto it = topLevel_.find(std::u16string(name));
    return it == topLevel_.end() ? 0 : it->second;
  }
  WindowHandle FindChildWindow(WindowHandle parent, std::u16string_view name) override {
    auto it = children_.find({parent, std::u16string(name)});
    return it == children_.end() ? 0 : it->second;
  }
  bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    std::lock_guard<std::mutex> lock(mutex_);
    posts_.push_back({window, message, wParam, lParam});
    return window != 0;
  }

  std::vector<PostedMessage> Posts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return posts_;
  }

 private:
  std::map<std::u16string, WindowHandle> topLevel_;
  std::map<std::pair<WindowHandle, std::u16string>, WindowHandle> children_;
  std::mutex mutex_;
  std::vector<PostedMessage> posts_;
};
