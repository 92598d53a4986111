#include "framework/app.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/tests/message_pump.h"
#include "framework/window.h"

namespace korvex {
namespace {

constexpr UINT kDelivered = WM_APP + 10;
constexpr UINT kSwallowedByParent = WM_APP + 11;
constexpr UINT kSwallowedByFilter = WM_APP + 12;
constexpr UINT kQuitWith = WM_APP + 13;
constexpr UINT kDone = WM_APP + 14;
constexpr RECT kRect{1, 1, 101, 51};

class ListeningWindow : public CWindow {
 public:
  std::vector<UINT> dispatched;
  std::vector<UINT> preTranslated;
  UINT swallows = 0;

  bool CreateIn(HWND parent, DWORD style) {
    return Create({}, 0, L"listener", style, kRect, parent);
  }
  bool PreTranslateMessage(MSG& msg) override {
    preTranslated.push_back(msg.message);
    return msg.message == swallows;
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message >= WM_APP) {
      dispatched.push_back(message);
      if (message == kQuitWith) CApp::Quit(static_cast<int>(wParam));
      return 0;
    }
    return CWindow::WindowProc(message, wParam, lParam);
  }
};

class SwallowingFilter : public CMessageFilter {
 public:
  std::vector<UINT> seen;
  bool PreTranslateMessage(MSG& msg) override {
    seen.push_back(msg.message);
    return msg.message == kSwallowedByFilter;
  }
};

TEST(App, PreTranslationWalksFromTheTargetToItsTopLevelWindowThenTheFilters) {
  CApp app;
  ListeningWindow parent, child, ownedPopup;
  parent.swallows = kSwallowedByParent;
  ASSERT_TRUE(parent.CreateIn(nullptr, WS_POPUP));
  ASSERT_TRUE(child.CreateIn(parent.Handle(), WS_CHILD));
  ASSERT_TRUE(ownedPopup.CreateIn(parent.Handle(), WS_POPUP));  // owned, not a child
  SwallowingFilter filter;
  app.AddMessageFilter(&filter);

  for (UINT message : {kSwallowedByParent, kSwallowedByFilter, kDelivered, kDone})
    child.Post(message);
  ASSERT_TRUE(test::PumpUntil([&] { return !child.dispatched.empty() && child.dispatched.back() == kDone; },
                              std::chrono::seconds(5), &app));
  EXPECT_EQ(child.dispatched, (std::vector<UINT>{kDelivered, kDone}));
  const std::vector<UINT> all{kSwallowedByParent, kSwallowedByFilter, kDelivered, kDone};
  EXPECT_EQ(child.preTranslated, all);
  EXPECT_EQ(parent.preTranslated, all);
  // The filter comes after the windows: it never sees what the parent took.
  EXPECT_EQ(filter.seen, (std::vector<UINT>{kSwallowedByFilter, kDelivered, kDone}));
  EXPECT_TRUE(parent.dispatched.empty());

  // The walk stops at a top-level window: an owner is not a parent.
  ownedPopup.Post(kSwallowedByParent);
  ownedPopup.Post(kDone);
  ASSERT_TRUE(test::PumpUntil([&] { return ownedPopup.dispatched.size() == 2; },
                              std::chrono::seconds(5), &app));
  EXPECT_EQ(ownedPopup.dispatched, (std::vector<UINT>{kSwallowedByParent, kDone}));

  // A removed filter swallows nothing more.
  app.RemoveMessageFilter(&filter);
  child.dispatched.clear();
  child.Post(kSwallowedByFilter);
  ASSERT_TRUE(test::PumpUntil([&] { return !child.dispatched.empty(); }, std::chrono::seconds(5), &app));
  EXPECT_EQ(child.dispatched, (std::vector<UINT>{kSwallowedByFilter}));
}

class LoopApp : public CApp {
 public:
  bool startSucceeds = true;
  int exitCalls = 0;
  ListeningWindow window;

  bool InitInstance() override {
    if (!window.CreateIn(nullptr, WS_POPUP)) return false;
    SetMainWindow(&window);
    window.Post(kDelivered);
    window.Post(kQuitWith, 7);
    window.Post(kDone);  // after the quit request, yet still handled
    return startSucceeds;
  }
  int ExitInstance() override {
    ++exitCalls;
    return CApp::ExitInstance() + 100;
  }
};

TEST(App, RunLoopsUntilQuitThenExits) {
  LoopApp app;
  EXPECT_EQ(app.Run(), 107);
  EXPECT_EQ(app.exitCalls, 1);
  EXPECT_EQ(app.ExitCode(), 7);
  EXPECT_EQ(app.MainWindow(), &app.window);
  // WM_QUIT is taken only when the queue is otherwise empty, so every
  // message posted before it was handled.
  EXPECT_EQ(app.window.dispatched, (std::vector<UINT>{kDelivered, kQuitWith, kDone}));
}

TEST(App, FailedStartSkipsTheLoopButStillExits) {
  LoopApp app;
  app.startSucceeds = false;
  EXPECT_EQ(app.Run(), 100);
  EXPECT_EQ(app.exitCalls, 1);
  EXPECT_TRUE(app.window.dispatched.empty());
  // Drain what the start posted so later tests begin with an empty queue.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_APP, 0xBFFF, PM_REMOVE)) {
  }
}

}  // namespace
}  // namespace korvex
