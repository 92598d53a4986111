#pragma once
// Where a download reports how far it has come, 0 to 100.

class IProgressSink {
 public:
  virtual ~IProgressSink() = default;
  virtual void SetProgress(int percent) = 0;
};
