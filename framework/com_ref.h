#pragma once
// Owner of one reference to a COM interface.

#include <unknwn.h>

#include <utility>

namespace korvex {

template <typename Interface>
class CComRef {
 public:
  CComRef() = default;
  ~CComRef() { Reset(); }
  CComRef(CComRef&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
  CComRef& operator=(CComRef&& other) noexcept {
    if (this != &other) {
      Reset();
      m_pointer = std::exchange(other.m_pointer, nullptr);
    }
    return *this;
  }
  CComRef(const CComRef&) = delete;
  CComRef& operator=(const CComRef&) = delete;

  Interface* Get() const { return m_pointer; }
  Interface* operator->() const { return m_pointer; }
  explicit operator bool() const { return m_pointer != nullptr; }

  // For functions that hand out a new reference; drops the current one.
  Interface** Out() {
    Reset();
    return &m_pointer;
  }
  void Reset() {
    if (m_pointer) std::exchange(m_pointer, nullptr)->Release();
  }

 private:
  Interface* m_pointer = nullptr;
};

}  // namespace korvex
