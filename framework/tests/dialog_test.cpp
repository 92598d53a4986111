#include "framework/dialog.h"

#include <gtest/gtest.h>

#include "framework/app.h"
#include "framework/tests/message_pump.h"
#include "framework/tests/test_resources.h"

namespace korvex {
namespace {

constexpr UINT kAnswer = WM_APP + 20;
constexpr UINT kFinishCommand = 4242;

class TestDialog : public CDialog {
 public:
  TestDialog() : CDialog(IDD_TEST_DIALOG) {}

  int initCalls = 0;
  int cancelCalls = 0;
  bool finishFromInit = false;

 protected:
  BOOL OnInitDialog() override {
    ++initCalls;
    if (finishFromInit) Post(WM_COMMAND, MAKEWPARAM(kFinishCommand, 0), 0);
    return TRUE;
  }
  void OnCancel() override {
    ++cancelCalls;
    CDialog::OnCancel();
  }
  bool OnCommand(UINT id, UINT code, HWND control) override {
    if (id == kFinishCommand) {
      EndDialog(42);
      return true;
    }
    return CDialog::OnCommand(id, code, control);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kAnswer) return 1234;
    return CDialog::WindowProc(message, wParam, lParam);
  }
};

TEST(Dialog, ModelessDialogFromTheTemplate) {
  CApp app;
  TestDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  EXPECT_FALSE(dialog.IsModal());
  EXPECT_EQ(dialog.initCalls, 1);
  EXPECT_EQ(CWindow::FromHandle(dialog.Handle()), &dialog);
  EXPECT_EQ(dialog.Text(), L"Prüfdialog");  // UTF-8 text of the template
  HWND edit = dialog.Item(IDC_TEST_EDIT);
  ASSERT_NE(edit, nullptr);

  // A handled message returns its result; one left to the system gets the
  // dialog manager's answer (the default push button of the template).
  EXPECT_EQ(dialog.Send(kAnswer), 1234);
  LRESULT defId = dialog.Send(DM_GETDEFID);
  EXPECT_EQ(HIWORD(defId), DC_HASDEFID);
  EXPECT_EQ(LOWORD(defId), IDOK);

  // Escape typed into the edit box cancels the dialog only through the
  // dialog's pre-translation; the cancel of a modeless dialog destroys it.
  PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(test::PumpUntil([&] { return dialog.Handle() == nullptr; },
                              std::chrono::seconds(5), &app));
  EXPECT_EQ(dialog.cancelCalls, 1);
  EXPECT_FALSE(IsWindow(edit));
}

TEST(Dialog, ModalDialogEndedByAPostedCommandReturnsItsResult) {
  TestDialog dialog;
  dialog.finishFromInit = true;
  EXPECT_EQ(dialog.DoModal(nullptr), 42);
  EXPECT_EQ(dialog.initCalls, 1);
  EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST(Dialog, MissingTemplateFails) {
  class NoTemplate : public CDialog {
   public:
    NoTemplate() : CDialog(999) {}
  } dialog;
  EXPECT_FALSE(dialog.CreateModeless(nullptr));
  EXPECT_EQ(dialog.DoModal(nullptr), -1);
}

}  // namespace
}  // namespace korvex
