#include "hid/vkb_pipe_client.h"

#include <windows.h>

namespace korvex::hid {

namespace {
// How long to wait for the keyboard while it serves another client.
constexpr DWORD kBusyWaitMs = 5000;
}  // namespace

std::optional<VkbOutcome> AskRunningKeyboard(const std::wstring& pipeName, const std::string& requestLine) {
  HANDLE pipe = INVALID_HANDLE_VALUE;
  const ULONGLONG deadline = GetTickCount64() + kBusyWaitMs;
  for (;;) {
    pipe = CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) break;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (error != ERROR_PIPE_BUSY || GetTickCount64() >= deadline)
      return VkbOutcome::Failure("cannot reach the virtual keyboard (error " + std::to_string(error) + ")");
    WaitNamedPipeW(pipeName.c_str(), static_cast<DWORD>(deadline - GetTickCount64()));
  }

  const std::string request = requestLine + "\n";
  DWORD written = 0;
  std::string reply;
  if (WriteFile(pipe, request.data(), static_cast<DWORD>(request.size()), &written, nullptr) &&
      written == request.size()) {
    char buffer[4096];
    DWORD read = 0;
    while (reply.find('\n') == std::string::npos && ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) && read > 0)
      reply.append(buffer, read);
  }
  CloseHandle(pipe);
  if (reply.empty()) return VkbOutcome::Failure("the virtual keyboard did not answer");
  return ParseReply(reply.substr(0, reply.find('\n')));
}

}  // namespace korvex::hid
