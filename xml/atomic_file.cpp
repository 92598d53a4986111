#include "atomic_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace korvex {
namespace {

std::u16string FirstLine(std::u16string text) {
  auto cut = text.find_first_of(u"\r\n");
  if (cut != std::u16string::npos) text.resize(cut);
  return text;
}

std::filesystem::path TemporarySibling(const std::filesystem::path& path) {
  static std::atomic<unsigned> counter{0};
#ifdef _WIN32
  unsigned long pid = GetCurrentProcessId();
#else
  unsigned long pid = static_cast<unsigned long>(getpid());
#endif
  auto name = path.filename().native();
  auto suffix = std::to_string(pid) + "." + std::to_string(counter++) + ".tmp";
  name += decltype(name)(suffix.begin(), suffix.end());
  auto tmp = path;
  tmp.replace_filename(std::filesystem::path(u".~").native() + name);
  return tmp;
}

}  // namespace

#ifdef _WIN32

std::u16string LastOsErrorMessage() {
  DWORD code = GetLastError();
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text;
  if (n && buffer) text.assign(reinterpret_cast<const char16_t*>(buffer), n);
  if (buffer) LocalFree(buffer);
  if (text.empty()) {
    auto s = "error " + std::to_string(code);
    text.assign(s.begin(), s.end());
  }
  return FirstLine(std::move(text));
}

bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                         std::u16string* error) {
  auto tmp = TemporarySibling(path);
  HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (error) *error = LastOsErrorMessage();
    return false;
  }
  std::size_t limit = FileWriteFaults::failAfterBytes.value_or(bytes.size());
  bool ok = true;
  std::size_t done = 0;
  while (done < bytes.size()) {
    std::size_t want = std::min<std::size_t>(bytes.size() - done, 1 << 20);
    if (done + want > limit) want = limit - done;
    DWORD wrote = 0;
    if (want == 0 || !WriteFile(h, bytes.data() + done, static_cast<DWORD>(want), &wrote, nullptr)) {
      if (want == 0) SetLastError(ERROR_DISK_FULL);
      ok = false;
      break;
    }
    done += wrote;
  }
  if (!ok && error) *error = LastOsErrorMessage();
  CloseHandle(h);
  if (ok && !MoveFileExW(tmp.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    if (error) *error = LastOsErrorMessage();
  }
  if (!ok) DeleteFileW(tmp.c_str());
  return ok;
}

#else

std::u16string LastOsErrorMessage() {
  const char* s = std::strerror(errno);
  std::string narrow = s ? s : "unknown error";
  return FirstLine(std::u16string(narrow.begin(), narrow.end()));
}

bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                         std::u16string* error) {
  auto tmp = TemporarySibling(path);
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (error) *error = LastOsErrorMessage();
    return false;
  }
  std::size_t limit = FileWriteFaults::failAfterBytes.value_or(bytes.size());
  bool ok = true;
  std::size_t done = 0;
  while (done < bytes.size()) {
    std::size_t want = bytes.size() - done;
    if (done + want > limit) want = limit - done;
    if (want == 0) {
      errno = ENOSPC;
      ok = false;
      break;
    }
    ssize_t wrote = ::write(fd, bytes.data() + done, want);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(wrote);
  }
  if (!ok && error) *error = LastOsErrorMessage();
  ::close(fd);
  if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) {
    ok = false;
    if (error) *error = LastOsErrorMessage();
  }
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

#endif

}  // namespace korvex
