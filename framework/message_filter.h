#pragma once
// Something that may look at a queued message before it is dispatched.

#include <windows.h>

namespace korvex {

class CMessageFilter {
 public:
  // Returns true when the message was handled here and must not be
  // translated or dispatched.
  virtual bool PreTranslateMessage(MSG& msg) = 0;

 protected:
  ~CMessageFilter() = default;
};

}  // namespace korvex
