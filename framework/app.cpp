#include "framework/app.h"

#include <algorithm>

#include "framework/window.h"

namespace korvex {

int CApp::Run() {
  if (!InitInstance()) return ExitInstance();
  MSG msg;
  for (;;) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      m_exitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (got == -1) {
      m_exitCode = -1;
      break;
    }
    if (!PreTranslateMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return ExitInstance();
}

bool CApp::InitInstance() { return true; }

int CApp::ExitInstance() { return m_exitCode; }

bool CApp::PreTranslateMessage(MSG& msg) {
  if (PreTranslateThroughParents(msg)) return true;
  // A filter may remove itself (or another) while it runs.
  std::vector<CMessageFilter*> filters = m_filters;
  for (auto it = filters.rbegin(); it != filters.rend(); ++it) {
    if (std::find(m_filters.begin(), m_filters.end(), *it) == m_filters.end()) continue;
    if ((*it)->PreTranslateMessage(msg)) return true;
  }
  return false;
}

bool CApp::PreTranslateThroughParents(MSG& msg) {
  for (HWND window = msg.hwnd; window;) {
    if (CWindow* object = CWindow::FromHandle(window); object && object->PreTranslateMessage(msg))
      return true;
    // Child windows pass the message on to their parent; a top-level window
    // ends the walk (GetParent would give its owner).
    if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) break;
    window = GetParent(window);
  }
  return false;
}

void CApp::AddMessageFilter(CMessageFilter* filter) {
  if (filter && std::find(m_filters.begin(), m_filters.end(), filter) == m_filters.end())
    m_filters.push_back(filter);
}

void CApp::RemoveMessageFilter(CMessageFilter* filter) {
  m_filters.erase(std::remove(m_filters.begin(), m_filters.end(), filter), m_filters.end());
}

void CApp::Quit(int exitCode) { PostQuitMessage(exitCode); }

}  // namespace korvex
