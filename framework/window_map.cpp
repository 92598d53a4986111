#include "framework/window_map.h"

#include <unordered_map>

namespace korvex::window_map {
namespace {

std::unordered_map<HWND, CWindow*>& ThreadMap() {
  thread_local std::unordered_map<HWND, CWindow*> map;
  return map;
}

}  // namespace

void Add(HWND window, CWindow* object) { ThreadMap()[window] = object; }

void Remove(HWND window) { ThreadMap().erase(window); }

CWindow* Find(HWND window) {
  auto& map = ThreadMap();
  auto it = map.find(window);
  return it == map.end() ? nullptr : it->second;
}

size_t Count() { return ThreadMap().size(); }

}  // namespace korvex::window_map
