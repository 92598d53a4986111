#include "xml/file_bytes.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "xml/atomic_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace korvex::xml {

bool IsMissingOrEmpty(const std::filesystem::path& path) {
  std::error_code ec;
  auto size = std::filesystem::file_size(path, ec);
  return ec || size == 0;
}

#ifdef _WIN32

namespace {

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (ok()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

}  // namespace

bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::u16string* error) {
  bytes.clear();
  Handle file(CreateFileW(path.c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) {
    if (error) *error = LastOsErrorMessage();
    return false;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) {
    if (error) *error = LastOsErrorMessage();
    return false;
  }
  try {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    if (error) *error = LastOsErrorMessage();
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 24));
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) {
      if (error) *error = LastOsErrorMessage();
      bytes.clear();
      return false;
    }
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  bytes.resize(done);
  return true;
}

bool AppendFileBytes(const std::filesystem::path& path, std::string_view bytes,
                     std::u16string* error) {
  Handle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) {
    if (error) *error = LastOsErrorMessage();
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 24));
    DWORD wrote = 0;
    if (!WriteFile(file.get(), bytes.data() + done, want, &wrote, nullptr)) {
      if (error) *error = LastOsErrorMessage();
      return false;
    }
    done += wrote;
  }
  return true;
}

#else

namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  bool ok() const { return fd_ >= 0; }
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::u16string* error) {
  bytes.clear();
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (!file.ok() || ::fstat(file.get(), &info) != 0) {
    if (error) *error = LastOsErrorMessage();
    return false;
  }
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    if (error) *error = LastOsErrorMessage();
    return false;
  }
  try {
    bytes.resize(static_cast<std::size_t>(info.st_size));
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    if (error) *error = LastOsErrorMessage();
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t got = ::read(file.get(), bytes.data() + done, bytes.size() - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      if (error) *error = LastOsErrorMessage();
      bytes.clear();
      return false;
    }
    if (got == 0) break;  // the file shrank meanwhile
    done += static_cast<std::size_t>(got);
  }
  bytes.resize(done);
  return true;
}

bool AppendFileBytes(const std::filesystem::path& path, std::string_view bytes,
                     std::u16string* error) {
  Descriptor file(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
  if (!file.ok()) {
    if (error) *error = LastOsErrorMessage();
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t wrote = ::write(file.get(), bytes.data() + done, bytes.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      if (error) *error = LastOsErrorMessage();
      return false;
    }
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

#endif

}  // namespace korvex::xml
