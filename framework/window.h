#pragma once
// CWindow: a window handle plus the object that handles its messages.
//
// A window gets an object in one of three ways:
//   Create     a new window of a class registered on the fly; the object owns
//              it and destroys it in its destructor if it still exists.
//   Subclass   an existing window of this thread (a control made by a dialog
//              template, say); its messages pass through the object first,
//              then to the procedure it had. The destructor restores that
//              procedure; the window itself lives on.
//   Attach     a plain wrapper of a window owned elsewhere (a host's window):
//              no messages are routed and the destructor leaves it alone.
//
// Lifetime: when a created or subclassed window receives WM_NCDESTROY, the
// object forgets the handle (Handle() becomes null and the handle map no
// longer finds it) and then OnFinalMessage runs, as the last thing the
// framework does with the object for that window. A heap object that nobody
// else owns may delete itself there. OnFinalMessage waits until the
// object's outermost message handler has returned, so a handler that
// destroys its own window can safely go on using its members.
//
// The handle map is confined to the thread (and module) that created the
// window. A window destroyed by the destructor of CWindow no longer reaches
// the handlers of the derived class: destroy it first when they must see
// WM_DESTROY.

#include <windows.h>

#include <string>

#include "framework/message_filter.h"
#include "framework/window_class.h"

namespace korvex {

class CWindow : public CMessageFilter {
 public:
  CWindow() = default;
  virtual ~CWindow();
  CWindow(const CWindow&) = delete;
  CWindow& operator=(const CWindow&) = delete;

  // Creates the window with a class of the given look (registered once per
  // look). `idOrMenu` is the control identifier of a child window or the
  // menu of a top-level one. Fails when this object already has a window.
  bool Create(const WindowClassParams& windowClass, DWORD exStyle, const wchar_t* name,
              DWORD style, const RECT& rect, HWND parent, UINT_PTR idOrMenu = 0);
  // Routes the messages of an existing window of this thread through this
  // object. Fails for a window of another thread or one that has an object.
  bool Subclass(HWND window);
  // Wraps a window owned elsewhere without routing its messages.
  bool Attach(HWND window);
  // Lets go of an attached or subclassed window (restoring the procedure of
  // a subclassed one) and returns it; a created window is not let go of.
  HWND Detach();
  bool DestroyWindow();

  HWND Handle() const { return m_hWnd; }
  // The object routing the messages of `window` on this thread, if any.
  static CWindow* FromHandle(HWND window);

  // Timers of this window, delivered to OnTimer.
  bool SetTimer(UINT_PTR id, UINT milliseconds);
  bool KillTimer(UINT_PTR id);

  bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  bool SetText(const wchar_t* text);
  std::wstring Text() const;

  // Called for messages aimed at this window or at a window inside it before
  // they are dispatched (see CApp::PreTranslateMessage). Default: false.
  bool PreTranslateMessage(MSG& msg) override;

  // The window procedure of every class registered by the framework.
  static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam);

 protected:
  // Handles one message. The default routes WM_CREATE, WM_TIMER, WM_COMMAND
  // and WM_DESTROY to the handlers below and everything else to DefaultProc.
  // An override handles its own messages and passes the rest on to the base.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The processing the window would get without this object: the subclassed
  // window's own procedure, else DefWindowProc.
  virtual LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

  // 0 to go on with the creation, -1 to fail it.
  virtual int OnCreate(CREATESTRUCTW& create);
  virtual void OnTimer(UINT_PTR id);
  // Returns true when the command was handled; otherwise it goes to DefaultProc.
  virtual bool OnCommand(UINT id, UINT code, HWND control);
  virtual void OnDestroy();
  // The window is gone (see the lifetime rules above).
  virtual void OnFinalMessage();

  // Runs WindowProc for a message of this object's window and finishes the
  // object's hold on the window after WM_NCDESTROY. `this` may be deleted
  // when it returns.
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  // While alive, the next window of this thread that reaches one of the
  // framework's procedures without an object is bound to `object`. The
  // window's very first message (before WM_NCCREATE for some) then already
  // reaches the object.
  class PendingCreation {
   public:
    explicit PendingCreation(CWindow* object);
    ~PendingCreation();
    PendingCreation(const PendingCreation&) = delete;
    PendingCreation& operator=(const PendingCreation&) = delete;

   private:
    CWindow* m_saved;
  };
  // The object of `window`, binding the pending object when there is none.
  static CWindow* FindOrBindPending(HWND window);

 private:
  enum class Binding { None, Created, Subclassed, Attached };

  void ForgetHandle();

  HWND m_hWnd = nullptr;
  Binding m_binding = Binding::None;
  WNDPROC m_previousProc = nullptr;
  int m_messageDepth = 0;
  bool m_finalMessagePending = false;
};

}  // namespace korvex
