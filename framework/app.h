#pragma once
// CApp: the application object of a program or library.
//
// Run() calls InitInstance, runs the message loop until a quit request, then
// returns what ExitInstance returns. InitInstance returning false skips the
// loop; ExitInstance still runs, so it must cope with a half-done start.
//
// Before a queued message is dispatched it is pre-translated: first the
// target window and then each of its parents up to its top-level window get
// a chance, if the framework routes their messages (CWindow::
// PreTranslateMessage; a dialog's does the dialog keyboard handling), then
// the filters added with AddMessageFilter, newest first. Any of them may
// swallow the message.

#include <windows.h>

#include <vector>

#include "framework/message_filter.h"

namespace korvex {

class CWindow;

class CApp {
 public:
  CApp() = default;
  virtual ~CApp() = default;
  CApp(const CApp&) = delete;
  CApp& operator=(const CApp&) = delete;

  int Run();

  // True runs the message loop; false ends at once. Default: true.
  virtual bool InitInstance();
  // The process exit code. Default: the code given to Quit.
  virtual int ExitInstance();

  // Returns true when the message was swallowed and must not be dispatched.
  bool PreTranslateMessage(MSG& msg);
  void AddMessageFilter(CMessageFilter* filter);
  void RemoveMessageFilter(CMessageFilter* filter);

  // Ends the message loop of the calling thread once the messages queued
  // before have been handled.
  static void Quit(int exitCode);
  // The code the last message loop ended with (0 before one ended).
  int ExitCode() const { return m_exitCode; }

  // The window the application regards as its main window (not owned).
  CWindow* MainWindow() const { return m_mainWindow; }
  void SetMainWindow(CWindow* window) { m_mainWindow = window; }

 private:
  static bool PreTranslateThroughParents(MSG& msg);

  std::vector<CMessageFilter*> m_filters;
  CWindow* m_mainWindow = nullptr;
  int m_exitCode = 0;
};

}  // namespace korvex
