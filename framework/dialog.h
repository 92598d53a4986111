#pragma once
// CDialog: a window made from a dialog template of the framework's module.
//
// Modeless (CreateModeless) or modal (DoModal). Messages reach WindowProc as
// for any CWindow; what a handler leaves to DefaultProc is left to the
// system's dialog processing. EndDialog ends a modal dialog with a result
// that DoModal returns, and destroys a modeless one.
//
// IDOK and IDCANCEL commands (Enter, Escape, the close box) call OnOK and
// OnCancel, which end the dialog with that identifier by default.

#include <windows.h>

#include "framework/window.h"

namespace korvex {

class CDialog : public CWindow {
 public:
  explicit CDialog(UINT templateId) : m_templateId(templateId) {}

  bool CreateModeless(HWND parent);
  // The result given to EndDialog, or -1 when the dialog could not be made.
  INT_PTR DoModal(HWND parent);
  void EndDialog(INT_PTR result);

  bool IsModal() const { return m_modal; }
  UINT TemplateId() const { return m_templateId; }
  HWND Item(int id) const { return GetDlgItem(Handle(), id); }

  // Dialog keyboard handling (Tab, Enter, Escape, mnemonics) for messages
  // aimed at the dialog or its controls.
  bool PreTranslateMessage(MSG& msg) override;

 protected:
  // TRUE lets the system give the focus to the first control.
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

  bool OnCommand(UINT id, UINT code, HWND control) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Marks the message as not handled, so the system's dialog processing
  // gets it.
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam);

  UINT m_templateId;
  bool m_modal = false;
};

}  // namespace korvex
