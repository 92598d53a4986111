#include "xml/code_page_system.h"

#include "xml/code_page.h"
#include "xml/windows_1252.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace korvex::xml {

#ifdef _WIN32

namespace {

// Code pages for which WideCharToMultiByte refuses a "used default char" flag.
bool RejectsDefaultCharFlag(unsigned codePage) {
  return (codePage >= 50220 && codePage <= 50229) || codePage == 52936 || codePage == 54936 ||
         (codePage >= 57002 && codePage <= 57011) || codePage == 65000 || codePage == 42;
}

}  // namespace

bool SystemBytesToUtf16(unsigned codePage, std::string_view bytes, std::u16string& text) {
  if (bytes.empty()) return true;
  if (bytes.size() > 0x7FFFFFFF) return false;
  int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return false;
  std::size_t at = text.size();
  text.resize(at + n);
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                      reinterpret_cast<wchar_t*>(text.data() + at), n);
  return true;
}

bool SystemUtf16ToBytes(unsigned codePage, std::u16string_view text, std::string& bytes,
                        bool& lost) {
  if (text.empty()) return true;
  if (text.size() > 0x7FFFFFFF) return false;
  auto wide = reinterpret_cast<const wchar_t*>(text.data());
  int length = static_cast<int>(text.size());
  int n = WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return false;
  std::size_t at = bytes.size();
  bytes.resize(at + n);
  if (!RejectsDefaultCharFlag(codePage)) {
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(codePage, 0, wide, length, bytes.data() + at, n, nullptr, &usedDefault);
    if (usedDefault) lost = true;
    return true;
  }
  // These code pages cannot report replacements: convert back and compare.
  WideCharToMultiByte(codePage, 0, wide, length, bytes.data() + at, n, nullptr, nullptr);
  std::u16string back;
  if (!SystemBytesToUtf16(codePage, std::string_view(bytes).substr(at), back) || back != text)
    lost = true;
  return true;
}

#else

namespace {

// The iconv name of a Windows code page; nullptr when iconv has no
// equivalent. Windows-1252, the system ANSI code page here, has its own
// converter.
const char* IconvName(unsigned codePage) {
  switch (codePage) {
    case 20127: return "ASCII";
    case 28591: return "ISO-8859-1";
    case 28592: return "ISO-8859-2";
    case 28593: return "ISO-8859-3";
    case 28594: return "ISO-8859-4";
    case 28595: return "ISO-8859-5";
    case 28596: return "ISO-8859-6";
    case 28597: return "ISO-8859-7";
    case 28598: return "ISO-8859-8";
    case 38598: return "ISO-8859-8";
    case 28599: return "ISO-8859-9";
    case 28603: return "ISO-8859-13";
    case 28605: return "ISO-8859-15";
    case 874: return "CP874";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 932: return "CP932";
    case 20932: return "EUC-JP";
    case 50220: return "ISO-2022-JP";
    case 936: return "CP936";
    case 54936: return "GB18030";
    case 950: return "CP950";
    case 949: return "CP949";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 437: return "CP437";
    case 850: return "CP850";
    case 852: return "CP852";
    case 866: return "CP866";
    case 10000: return "MACINTOSH";
    default: return nullptr;
  }
}

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts in steps; on an input that cannot be converted, `skip` tells how
  // many input bytes to pass over and `substitute` what to emit instead.
  template <typename OnInvalid>
  void Run(std::string_view input, std::string& output, OnInvalid onInvalid) {
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
      char* out = buffer;
      std::size_t outLeft = sizeof buffer;
      std::size_t r = iconv(cd_, &in, &inLeft, &out, &outLeft);
      output.append(buffer, static_cast<std::size_t>(out - buffer));
      if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
      // EILSEQ (invalid or unrepresentable) or EINVAL (cut at the end).
      std::size_t skip = onInvalid(in, inLeft, output);
      in += skip;
      inLeft -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &out, &outLeft);
    output.append(buffer, static_cast<std::size_t>(out - buffer));
  }

 private:
  iconv_t cd_;
};

bool IsWindows1252(unsigned codePage) { return codePage == kCodePageAnsi || codePage == 1252; }

}  // namespace

bool SystemBytesToUtf16(unsigned codePage, std::string_view bytes, std::u16string& text) {
  if (IsWindows1252(codePage)) {
    AppendWindows1252AsUtf16(bytes, text);
    return true;
  }
  const char* name = IconvName(codePage);
  if (!name) return false;
  Converter converter("UTF-16LE", name);
  if (!converter.ok()) return false;
  std::string wide;
  converter.Run(bytes, wide, [](const char*, std::size_t, std::string& out) {
    out.append("\xFD\xFF", 2);  // U+FFFD for the byte that cannot be read
    return std::size_t{1};
  });
  std::size_t at = text.size();
  text.resize(at + wide.size() / 2);
  for (std::size_t i = 0; i < wide.size() / 2; ++i) {
    text[at + i] = static_cast<char16_t>(static_cast<unsigned char>(wide[2 * i]) |
                                         (static_cast<unsigned char>(wide[2 * i + 1]) << 8));
  }
  return true;
}

bool SystemUtf16ToBytes(unsigned codePage, std::u16string_view text, std::string& bytes,
                        bool& lost) {
  if (IsWindows1252(codePage)) {
    AppendUtf16AsWindows1252(text, bytes, lost);
    return true;
  }
  const char* name = IconvName(codePage);
  if (!name) return false;
  Converter converter(name, "UTF-16LE");
  if (!converter.ok()) return false;
  std::string wide(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    wide[2 * i] = static_cast<char>(text[i] & 0xFF);
    wide[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  converter.Run(wide, bytes, [&lost](const char* in, std::size_t left, std::string& out) {
    // Replace the character (one unit, or a surrogate pair) with '?'.
    lost = true;
    out.push_back('?');
    std::size_t skip = left >= 2 ? 2 : left;
    if (left >= 4) {
      unsigned unit = static_cast<unsigned char>(in[0]) | (static_cast<unsigned char>(in[1]) << 8);
      unsigned next = static_cast<unsigned char>(in[2]) | (static_cast<unsigned char>(in[3]) << 8);
      if (unit >= 0xD800 && unit <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) skip = 4;
    }
    return skip;
  });
  return true;
}

#endif

}  // namespace korvex::xml
