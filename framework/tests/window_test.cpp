#include "framework/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/tests/message_pump.h"
#include "framework/window_map.h"
#include "framework/window_search.h"

namespace korvex {
namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr RECT kRect{1, 1, 101, 51};

class RecordingWindow : public CWindow {
 public:
  bool mapKnewUsInOnCreate = false;
  int timerTicks = 0;
  UINT_PTR lastTimer = 0;
  HWND handleAtFinal = reinterpret_cast<HWND>(1);
  int finalMessages = 0;

  bool CreateHidden(const wchar_t* name, HWND parent = nullptr, DWORD style = WS_POPUP,
                    const WindowClassParams& params = {}) {
    return Create(params, 0, name, style, kRect, parent);
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kPing) return static_cast<LRESULT>(wParam + 1);
    return CWindow::WindowProc(message, wParam, lParam);
  }
  int OnCreate(CREATESTRUCTW&) override {
    mapKnewUsInOnCreate = FromHandle(Handle()) == this;
    return 0;
  }
  void OnTimer(UINT_PTR id) override {
    ++timerTicks;
    lastTimer = id;
  }
  void OnFinalMessage() override {
    handleAtFinal = Handle();
    ++finalMessages;
  }
};

TEST(Window, CreateRoutesMessagesThroughTheHandleMap) {
  RecordingWindow window;
  ASSERT_TRUE(window.CreateHidden(L"KorvexFrameworkTest_Route"));
  EXPECT_TRUE(window.mapKnewUsInOnCreate);
  EXPECT_EQ(CWindow::FromHandle(window.Handle()), &window);
  EXPECT_EQ(window.Send(kPing, 41), 42);
  EXPECT_EQ(window.Text(), L"KorvexFrameworkTest_Route");
  EXPECT_EQ(FindTopLevelWindow(L"KorvexFrameworkTest_Route"), window.Handle());
  EXPECT_FALSE(window.CreateHidden(L"second window for the same object"));
}

TEST(Window, EqualLooksShareOneRegisteredClass) {
  RecordingWindow a, b, c;
  ASSERT_TRUE(a.CreateHidden(L"a"));
  ASSERT_TRUE(b.CreateHidden(L"b"));
  ASSERT_TRUE(c.CreateHidden(L"c", nullptr, WS_POPUP, WindowClassParams{CS_DBLCLKS}));
  auto atom = [](const CWindow& w) { return GetClassLongPtrW(w.Handle(), GCW_ATOM); };
  EXPECT_EQ(atom(a), atom(b));
  EXPECT_NE(atom(a), atom(c));
  EXPECT_EQ(GetClassLongPtrW(c.Handle(), GCL_STYLE), static_cast<ULONG_PTR>(CS_DBLCLKS));
}

TEST(Window, DestroyedWindowIsForgottenBeforeTheFinalMessage) {
  const size_t before = window_map::Count();
  RecordingWindow window;
  ASSERT_TRUE(window.CreateHidden(L"destroyed"));
  HWND handle = window.Handle();
  EXPECT_EQ(window_map::Count(), before + 1);
  EXPECT_TRUE(window.DestroyWindow());
  EXPECT_EQ(window.finalMessages, 1);
  EXPECT_EQ(window.handleAtFinal, nullptr);
  EXPECT_EQ(window.Handle(), nullptr);
  EXPECT_EQ(CWindow::FromHandle(handle), nullptr);
  EXPECT_EQ(window_map::Count(), before);
  // The object can make a new window afterwards.
  EXPECT_TRUE(window.CreateHidden(L"again"));
}

TEST(Window, DestructorDestroysALiveWindow) {
  HWND handle;
  {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateHidden(L"short-lived"));
    handle = window.Handle();
  }
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(CWindow::FromHandle(handle), nullptr);
}

// A heap window that destroys itself from its own handler and deletes itself
// at the final message: the final message must wait for the handler.
class SelfDeletingWindow : public CWindow {
 public:
  explicit SelfDeletingWindow(std::vector<std::string>& log) : m_log(log) {}

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kPing) {
      DestroyWindow();
      m_stillUsable = true;  // a member written after the window is gone
      m_log.push_back("handler done");
      return 0;
    }
    return CWindow::WindowProc(message, wParam, lParam);
  }
  void OnFinalMessage() override {
    m_log.push_back(m_stillUsable ? "final after handler" : "final inside handler");
    delete this;
  }

 private:
  std::vector<std::string>& m_log;
  bool m_stillUsable = false;
};

TEST(Window, FinalMessageWaitsForTheOutermostHandler) {
  std::vector<std::string> log;
  auto* window = new SelfDeletingWindow(log);
  ASSERT_TRUE(window->Create({}, 0, L"self-deleting", WS_POPUP, kRect, nullptr));
  HWND handle = window->Handle();
  SendMessageW(handle, kPing, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"handler done", "final after handler"}));
  EXPECT_FALSE(IsWindow(handle));
}

TEST(Window, FindsAChildByName) {
  RecordingWindow parent, child, other;
  ASSERT_TRUE(parent.CreateHidden(L"KorvexFrameworkTest_Parent"));
  ASSERT_TRUE(other.CreateHidden(L"Someone", parent.Handle(), WS_CHILD));
  ASSERT_TRUE(child.CreateHidden(L"Korvex", parent.Handle(), WS_CHILD));
  EXPECT_EQ(FindChildWindow(parent.Handle(), L"Korvex"), child.Handle());
  EXPECT_EQ(FindChildWindow(parent.Handle(), L"Nobody"), nullptr);
  EXPECT_EQ(FindChildWindow(nullptr, L"Korvex"), nullptr);
}

TEST(Window, SubclassRoutesAControlAndDetachRestoresIt) {
  RecordingWindow parent, control;
  ASSERT_TRUE(parent.CreateHidden(L"subclass parent"));
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 50, 20, parent.Handle(), nullptr,
                              nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  LONG_PTR editProc = GetWindowLongPtrW(edit, GWLP_WNDPROC);

  ASSERT_TRUE(control.Subclass(edit));
  EXPECT_FALSE(RecordingWindow().Subclass(edit));  // one object per window
  EXPECT_EQ(control.Send(kPing, 1), 2);            // ours
  EXPECT_TRUE(control.SetText(L"typed"));          // the edit's own
  EXPECT_EQ(control.Text(), L"typed");

  EXPECT_EQ(control.Detach(), edit);
  EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), editProc);
  EXPECT_EQ(CWindow::FromHandle(edit), nullptr);
  EXPECT_TRUE(IsWindow(edit));
}

TEST(Window, SubclassedControlIsForgottenWhenItsParentGoes) {
  RecordingWindow control;
  HWND edit;
  {
    RecordingWindow parent;
    ASSERT_TRUE(parent.CreateHidden(L"doomed parent"));
    edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 50, 20, parent.Handle(), nullptr,
                           nullptr, nullptr);
    ASSERT_TRUE(control.Subclass(edit));
  }
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_EQ(control.Handle(), nullptr);
  EXPECT_EQ(control.finalMessages, 1);
}

TEST(Window, AttachedWindowIsNeitherRoutedNorDestroyed) {
  RecordingWindow owner;
  ASSERT_TRUE(owner.CreateHidden(L"host window"));
  {
    CWindow host;
    ASSERT_TRUE(host.Attach(owner.Handle()));
    EXPECT_EQ(host.Handle(), owner.Handle());
    EXPECT_EQ(CWindow::FromHandle(owner.Handle()), &owner);
  }
  EXPECT_TRUE(IsWindow(owner.Handle()));
}

TEST(Window, TimerTicksReachOnTimer) {
  RecordingWindow window;
  ASSERT_TRUE(window.CreateHidden(L"timer"));
  ASSERT_TRUE(window.SetTimer(0x1001, 10));
  EXPECT_TRUE(test::PumpUntil([&] { return window.timerTicks >= 2; }));
  EXPECT_EQ(window.lastTimer, 0x1001u);
  EXPECT_TRUE(window.KillTimer(0x1001));
  EXPECT_FALSE(window.KillTimer(0x0689));  // never started
}

}  // namespace
}  // namespace korvex
