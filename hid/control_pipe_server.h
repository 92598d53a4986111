#pragma once
// The virtual keyboard's control channel: a named pipe served by a thread of
// the library. A client connects, writes one request line, reads one reply
// line and disconnects; clients are served one after another. A client that
// sends nothing for a few seconds is dropped. Only the first process to
// create the pipe serves it; another one running a virtual keyboard at the
// same time goes without a control channel.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace korvex::hid {

class CControlPipeServer {
 public:
  using Handler = std::function<std::string(std::string_view requestLine)>;

  ~CControlPipeServer();  // Stop

  // False when the pipe cannot be created (its name is taken).
  bool Start(const std::wstring& pipeName, Handler handler);
  void Stop();

 private:
  void Serve();
  void ServeClient();
  // Waits for an overlapped operation; false when stopped, timed out or failed.
  bool Complete(OVERLAPPED& overlapped, DWORD timeoutMs, DWORD* transferred);

  HANDLE pipe_ = INVALID_HANDLE_VALUE;
  HANDLE stop_ = nullptr;
  HANDLE ioDone_ = nullptr;
  Handler handler_;
  std::thread thread_;
};

}  // namespace korvex::hid
