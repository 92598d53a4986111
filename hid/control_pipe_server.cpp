#include "hid/control_pipe_server.h"

#include "hid/vkb_protocol.h"
#include "hid/win32_text.h"

namespace korvex::hid {

namespace {
constexpr DWORD kBufferBytes = 64 * 1024;
constexpr DWORD kClientTimeoutMs = 5000;
}  // namespace

CControlPipeServer::~CControlPipeServer() { Stop(); }

bool CControlPipeServer::Start(const std::wstring& pipeName, Handler handler) {
  Stop();
  pipe_ = CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                           PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                           kBufferBytes, kBufferBytes, 0, nullptr);
  if (pipe_ == INVALID_HANDLE_VALUE) {
    DebugTrace(L"no control channel: cannot create " + pipeName + L", error " + std::to_wstring(GetLastError()));
    return false;
  }
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ioDone_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  handler_ = std::move(handler);
  thread_ = std::thread(&CControlPipeServer::Serve, this);
  return true;
}

void CControlPipeServer::Stop() {
  if (thread_.joinable()) {
    SetEvent(stop_);
    thread_.join();
  }
  for (HANDLE* h : {&stop_, &ioDone_}) {
    if (*h) CloseHandle(*h);
    *h = nullptr;
  }
  if (pipe_ != INVALID_HANDLE_VALUE) CloseHandle(pipe_);
  pipe_ = INVALID_HANDLE_VALUE;
}

bool CControlPipeServer::Complete(OVERLAPPED& overlapped, DWORD timeoutMs, DWORD* transferred) {
  const HANDLE waits[] = {overlapped.hEvent, stop_};
  const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, timeoutMs);
  if (woke != WAIT_OBJECT_0) CancelIoEx(pipe_, &overlapped);
  DWORD bytes = 0;
  const BOOL ok = GetOverlappedResult(pipe_, &overlapped, &bytes, TRUE);
  if (transferred) *transferred = bytes;
  return woke == WAIT_OBJECT_0 && ok;
}

void CControlPipeServer::Serve() {
  while (WaitForSingleObject(stop_, 0) != WAIT_OBJECT_0) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = ioDone_;
    ResetEvent(ioDone_);
    bool connected = ConnectNamedPipe(pipe_, &overlapped) != FALSE;
    if (!connected) {
      const DWORD error = GetLastError();
      if (error == ERROR_PIPE_CONNECTED)
        connected = true;
      else if (error == ERROR_IO_PENDING)
        connected = Complete(overlapped, INFINITE, nullptr);
    }
    if (connected) ServeClient();
    DisconnectNamedPipe(pipe_);
  }
}

void CControlPipeServer::ServeClient() {
  std::string request;
  char buffer[512];
  while (request.find('\n') == std::string::npos) {
    if (request.size() > kMaxRequestBytes) return;
    OVERLAPPED overlapped{};
    overlapped.hEvent = ioDone_;
    ResetEvent(ioDone_);
    DWORD read = 0;
    if (!ReadFile(pipe_, buffer, sizeof(buffer), nullptr, &overlapped) && GetLastError() != ERROR_IO_PENDING) return;
    if (!Complete(overlapped, kClientTimeoutMs, &read) || read == 0) return;
    request.append(buffer, read);
  }
  const std::string reply = handler_(std::string_view(request).substr(0, request.find('\n')));

  OVERLAPPED overlapped{};
  overlapped.hEvent = ioDone_;
  ResetEvent(ioDone_);
  DWORD written = 0;
  if (!WriteFile(pipe_, reply.data(), static_cast<DWORD>(reply.size()), nullptr, &overlapped) &&
      GetLastError() != ERROR_IO_PENDING)
    return;
  if (!Complete(overlapped, kClientTimeoutMs, &written)) return;
  // Disconnecting throws away what the client has not read yet: wait until it
  // closes its end (the read then fails) or the time is up.
  overlapped = OVERLAPPED{};
  overlapped.hEvent = ioDone_;
  ResetEvent(ioDone_);
  if (!ReadFile(pipe_, buffer, sizeof(buffer), nullptr, &overlapped) && GetLastError() != ERROR_IO_PENDING) return;
  Complete(overlapped, kClientTimeoutMs, nullptr);
}

}  // namespace korvex::hid
