#include "framework/window.h"

#include "framework/module_instance.h"
#include "framework/window_map.h"

namespace korvex {
namespace {

thread_local CWindow* t_pendingCreation = nullptr;

}  // namespace

CWindow::PendingCreation::PendingCreation(CWindow* object) : m_saved(t_pendingCreation) {
  t_pendingCreation = object;
}

CWindow::PendingCreation::~PendingCreation() { t_pendingCreation = m_saved; }

CWindow* CWindow::FindOrBindPending(HWND window) {
  if (CWindow* object = window_map::Find(window)) return object;
  CWindow* object = t_pendingCreation;
  if (!object) return nullptr;
  t_pendingCreation = nullptr;
  object->m_hWnd = window;
  object->m_binding = Binding::Created;
  window_map::Add(window, object);
  return object;
}

CWindow::~CWindow() {
  switch (m_binding) {
    case Binding::Created:
      ::DestroyWindow(m_hWnd);
      break;
    case Binding::Subclassed:
      Detach();
      break;
    case Binding::Attached:
    case Binding::None:
      break;
  }
}

bool CWindow::Create(const WindowClassParams& windowClass, DWORD exStyle, const wchar_t* name,
                     DWORD style, const RECT& rect, HWND parent, UINT_PTR idOrMenu) {
  if (m_hWnd) return false;
  std::wstring className = RegisterWindowClass(windowClass);
  if (className.empty()) return false;
  HWND window;
  {
    PendingCreation pending(this);
    window = CreateWindowExW(exStyle, className.c_str(), name, style, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent,
                             reinterpret_cast<HMENU>(idOrMenu), ModuleInstance(), nullptr);
  }
  // A failed creation has already run OnFinalMessage, which may have deleted
  // this object: only the local result is used here.
  return window != nullptr;
}

bool CWindow::Subclass(HWND window) {
  if (m_hWnd || !IsWindow(window) || window_map::Find(window)) return false;
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return false;
  m_hWnd = window;
  m_binding = Binding::Subclassed;
  window_map::Add(window, this);
  m_previousProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindow::StaticWindowProc)));
  if (!m_previousProc) {
    ForgetHandle();
    return false;
  }
  return true;
}

bool CWindow::Attach(HWND window) {
  if (m_hWnd || !window) return false;
  m_hWnd = window;
  m_binding = Binding::Attached;
  return true;
}

HWND CWindow::Detach() {
  HWND window = m_hWnd;
  switch (m_binding) {
    case Binding::Subclassed:
      // Put the old procedure back only if nobody subclassed the window on
      // top of us; otherwise our procedure stays in their chain and, with no
      // object in the map, passes everything to DefWindowProc.
      if (GetWindowLongPtrW(window, GWLP_WNDPROC) ==
          reinterpret_cast<LONG_PTR>(&CWindow::StaticWindowProc)) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
      }
      ForgetHandle();
      return window;
    case Binding::Attached:
      ForgetHandle();
      return window;
    case Binding::Created:
    case Binding::None:
      return nullptr;
  }
  return nullptr;
}

bool CWindow::DestroyWindow() { return m_hWnd && ::DestroyWindow(m_hWnd); }

CWindow* CWindow::FromHandle(HWND window) { return window_map::Find(window); }

bool CWindow::SetTimer(UINT_PTR id, UINT milliseconds) {
  return m_hWnd && ::SetTimer(m_hWnd, id, milliseconds, nullptr) != 0;
}

bool CWindow::KillTimer(UINT_PTR id) { return m_hWnd && ::KillTimer(m_hWnd, id); }

bool CWindow::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
  return m_hWnd && PostMessageW(m_hWnd, message, wParam, lParam);
}

LRESULT CWindow::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return m_hWnd ? SendMessageW(m_hWnd, message, wParam, lParam) : 0;
}

bool CWindow::SetText(const wchar_t* text) { return m_hWnd && SetWindowTextW(m_hWnd, text); }

std::wstring CWindow::Text() const {
  if (!m_hWnd) return {};
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool CWindow::PreTranslateMessage(MSG&) { return false; }

LRESULT CALLBACK CWindow::StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  CWindow* object = FindOrBindPending(window);
  if (!object) return DefWindowProcW(window, message, wParam, lParam);
  return object->Dispatch(message, wParam, lParam);
}

LRESULT CWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  ++m_messageDepth;
  LRESULT result = WindowProc(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ForgetHandle();
    m_finalMessagePending = true;
  }
  if (--m_messageDepth == 0 && m_finalMessagePending) {
    m_finalMessagePending = false;
    OnFinalMessage();  // may delete this
  }
  return result;
}

LRESULT CWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(*reinterpret_cast<CREATESTRUCTW*>(lParam));
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_COMMAND:
      if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
      break;
    case WM_DESTROY:
      OnDestroy();
      break;
    default:
      break;
  }
  return DefaultProc(message, wParam, lParam);
}

LRESULT CWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_previousProc) return CallWindowProcW(m_previousProc, m_hWnd, message, wParam, lParam);
  return DefWindowProcW(m_hWnd, message, wParam, lParam);
}

int CWindow::OnCreate(CREATESTRUCTW&) { return 0; }
void CWindow::OnTimer(UINT_PTR) {}
bool CWindow::OnCommand(UINT, UINT, HWND) { return false; }
void CWindow::OnDestroy() {}
void CWindow::OnFinalMessage() {}

void CWindow::ForgetHandle() {
  if (m_hWnd && m_binding != Binding::Attached) window_map::Remove(m_hWnd);
  m_hWnd = nullptr;
  m_binding = Binding::None;
  m_previousProc = nullptr;
}

}  // namespace korvex
