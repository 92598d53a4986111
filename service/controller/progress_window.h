#pragma once
// The progress window shown while the service downloads settings to the
// keyboard: a bar from 0 to 100.

class IProgressWindow {
 public:
  virtual ~IProgressWindow() = default;
  // Creates the window and shows it centred, on top, at position 0.
  virtual void Show() = 0;
  // Moves the bar and repaints it at once (the download blocks the thread).
  virtual void SetPosition(int value) = 0;
  // Hides and releases the window.
  virtual void Close() = 0;
};
