#include "framework/dialog.h"

#include "framework/module_instance.h"

namespace korvex {
namespace {

// Set by the dialog procedure while a message is handled: DefaultProc marks
// the message as left to the system. A thread-wide slot rather than a member
// because the object may be gone when the procedure reads it back.
thread_local bool* t_leftToSystem = nullptr;

// Messages whose result a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool CDialog::CreateModeless(HWND parent) {
  if (Handle()) return false;
  m_modal = false;
  PendingCreation pending(this);
  return CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(m_templateId), parent,
                            &CDialog::StaticDialogProc, 0) != nullptr;
}

INT_PTR CDialog::DoModal(HWND parent) {
  if (Handle()) return -1;
  m_modal = true;
  PendingCreation pending(this);
  return DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(m_templateId), parent,
                         &CDialog::StaticDialogProc, 0);
}

void CDialog::EndDialog(INT_PTR result) {
  if (!Handle()) return;
  if (m_modal)
    ::EndDialog(Handle(), result);
  else
    DestroyWindow();
}

bool CDialog::PreTranslateMessage(MSG& msg) {
  return Handle() && IsDialogMessageW(Handle(), &msg);
}

BOOL CDialog::OnInitDialog() { return TRUE; }
void CDialog::OnOK() { EndDialog(IDOK); }
void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnCommand(UINT id, UINT code, HWND control) {
  switch (id) {
    case IDOK:
      OnOK();
      return true;
    case IDCANCEL:
      OnCancel();
      return true;
    default:
      return false;
  }
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog();
  return CWindow::WindowProc(message, wParam, lParam);
}

LRESULT CDialog::DefaultProc(UINT, WPARAM, LPARAM) {
  if (t_leftToSystem) *t_leftToSystem = true;
  return 0;
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  CWindow* object = FindOrBindPending(window);
  if (!object) return FALSE;
  bool leftToSystem = false;
  bool* saved = t_leftToSystem;
  t_leftToSystem = &leftToSystem;
  LRESULT result = static_cast<CDialog*>(object)->Dispatch(message, wParam, lParam);
  t_leftToSystem = saved;
  if (leftToSystem) return FALSE;
  if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
  if (message != WM_NCDESTROY) SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace korvex
