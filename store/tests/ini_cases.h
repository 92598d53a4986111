#pragma once
// INI behaviours shared by the native tests (our reader and writer against the
// expected bytes) and the Windows tests (ours against the platform's routines).
// The expected results were taken from the platform's routines.

#include <string>
#include <string_view>
#include <vector>

#include "store/tests/store_test_files.h"

struct IniWrite {
  std::u16string_view section, key, value;
};

struct IniWriteCase {
  const char* name;
  std::string initial;  // file bytes before the writes
  std::vector<IniWrite> writes;
  std::u16string_view expected;  // file text after the writes, without the mark
};

inline const std::vector<IniWriteCase>& IniWriteCases() {
  using korvex::test::Utf16File;
  static const std::vector<IniWriteCase> cases = {
      {"first key", Utf16File(u""), {{u"S", u"K", u"V"}}, u"[S]\r\nK=V\r\n"},
      {"keys, sections, case-insensitive names, unchanged value",
       Utf16File(u""),
       {{u"S", u"K", u"V"}, {u"S", u"K2", u"V2"}, {u"T", u"A", u"B"}, {u"s", u"k", u"new"}, {u"S", u"K2", u"V2"},
        {u"T", u"C", u"D"}},
       u"[S]\r\nK=new\r\nK2=V2\r\n[T]\r\nA=B\r\nC=D\r\n"},
      {"rewrite normalises blanks, headers and comments",
       Utf16File(u"; head comment\r\nloose=1\r\n\r\n[ Sp ]\r\n  Key = Old  \r\n\r\n\r\nnovalue\r\n;c=1\r\n#h\r\n"
                 u"[Dup]\r\na=1\r\na=2\r\n[dup]\r\nb=3\r\n[Q]\r\nq1=\"quoted\"\r\nq2='single'\r\nq3=\"open\r\n"
                 u"q4=\"\r\nq5=\"\"\r\nq6=\"a\"b\"\r\n=emptyname\r\n[bad\r\n[x]y]\r\n[t] trailing\r\nk=v\r\n[]\r\n"
                 u"e=1\r\n[Last]\r\nz=9"),
       {{u"Last", u"z2", u"10"}},
       u"; head comment\r\nloose=1\r\n[Sp]\r\nKey=Old\r\nnovalue\r\n;c=1\r\n#h\r\n[Dup]\r\na=1\r\na=2\r\n[dup]\r\n"
       u"b=3\r\n[Q]\r\nq1=\"quoted\"\r\nq2='single'\r\nq3=\"open\r\nq4=\"\r\nq5=\"\"\r\nq6=\"a\"b\"\r\n=emptyname\r\n"
       u"[bad\r\n[x]y]\r\n[t]\r\nk=v\r\ne=1\r\n[Last]\r\nz=9\r\nz2=10\r\n"},
      {"unchanged value leaves the file as it is",
       Utf16File(u"\r\n[ Sp ]\r\n  Key = Old  \r\n\r\n"),
       {{u"Sp", u"Key", u"Old"}, {u" sp ", u" KEY", u"  Old"}},
       u"\r\n[ Sp ]\r\n  Key = Old  \r\n\r\n"},
      {"existing key without final line break", Utf16File(u"[A]\r\nx=1"), {{u"A", u"x", u"2"}}, u"[A]\r\nx=2\r\n"},
      {"new key without final line break", Utf16File(u"[A]\r\nx=1"), {{u"A", u"y", u"2"}}, u"[A]\r\nx=1\r\ny=2\r\n"},
      {"new section without final line break", Utf16File(u"[A]\r\nx=1"), {{u"B", u"y", u"2"}},
       u"[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
      {"LF line ends", Utf16File(u"[A]\nx=1\n\n[B]\ny=2\n"), {{u"A", u"z", u"3"}}, u"[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\n"},
      {"CR line ends", Utf16File(u"[A]\rx=1\r[B]\ry=2\r"), {{u"A", u"z", u"3"}}, u"[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\n"},
      {"mixed line ends", Utf16File(u"[A]\rx=1\r\n[B]\ry=2\r"), {{u"A", u"z", u"3"}},
       u"[A]\r\nx=1\r\nz=3\r\n[B]\r\ny=2\r\n"},
      {"blanks around names and values, empty names",
       Utf16File(u""),
       {{u"S", u"lead", u"  v  "}, {u"S", u" spk ", u"v"}, {u" sps ", u"k", u"v"}, {u"S", u"", u"emptykey"},
        {u"", u"k", u"emptysec"}, {u"S", u"empty", u""}, {u"S", u"quoted", u"\"x\""}, {u"S", u"tabs", u"\tv\t"}},
       u"k=emptysec\r\n[S]\r\nlead=v\r\nspk=v\r\n=emptykey\r\nempty=\r\nquoted=\"x\"\r\ntabs=v\t\r\n[sps]\r\nk=v\r\n"},
      {"other blank characters",
       Utf16File(u""),
       {{u"S", u"a", u"v \t "}, {u"S", u"c", u" \t v  x  "}, {u"S", u"d", u"   "}, {u"S", u"e", u"v\x1a"},
        {u"S", u"f", u"v\x0b"}, {u"S", u"i", u"\x1a\x0bv"}, {u"S\t", u"\tj\t", u"1"}, {u"S", u"j \x0b", u"2"},
        {u"\x1aS2 ", u"k", u"1"}},
       u"[S]\r\na=v\r\nc=v  x\r\nd=\r\ne=v\r\nf=v\r\ni=v\r\nj=2\r\n[S2 ]\r\nk=1\r\n"},
      {"odd headers",
       Utf16File(u"  [S]  \r\nx=1\r\n[\r\ny=2\r\n[ ]\r\nz=3\r\n[\tT\t]\r\nt=4\r\n[U]]\r\nu=5\r\n[[V]\r\nv=6\r\n"),
       {{u"S", u"n", u"1"}},
       u"[S]\r\nx=1\r\n[\r\ny=2\r\nn=1\r\nz=3\r\n[T]\r\nt=4\r\n[U]]\r\nu=5\r\n[[V]\r\nv=6\r\n"},
      {"runs of empty names", Utf16File(u"[A]\r\n=1\r\n=2\r\n\r\n=3\r\nk\r\n=4\r\n"), {{u"A", u"x", u"2"}},
       u"[A]\r\n=1\r\nk\r\n=4\r\nx=2\r\n"},
      {"first of duplicate sections", Utf16File(u"[A]\r\nx=1\r\n[B]\r\ny=1\r\n[A]\r\nw=1\r\n"),
       {{u"A", u"new", u"1"}, {u"A", u"w", u"2"}}, u"[A]\r\nx=1\r\nnew=1\r\nw=2\r\n[B]\r\ny=1\r\n[A]\r\nw=1\r\n"},
      {"first of duplicate keys", Utf16File(u"[A]\r\nx=1\r\nx=2\r\n"), {{u"A", u"x", u"3"}}, u"[A]\r\nx=3\r\nx=2\r\n"},
      {"new key after a comment", Utf16File(u"[A]\r\nx=1\r\n;trailing comment\r\n\r\n"), {{u"A", u"new", u"1"}},
       u"[A]\r\nx=1\r\n;trailing comment\r\nnew=1\r\n"},
      {"empty section", Utf16File(u"\r\n\r\n[A]\r\n"), {{u"A", u"new", u"1"}}, u"[A]\r\nnew=1\r\n"},
      {"key without value gets one", Utf16File(u"[A]\r\nk\r\n"), {{u"A", u"k", u"1"}}, u"[A]\r\nk=1\r\n"},
      {"blank lines of blanks", Utf16File(u"[A]\r\n   \r\n\t\r\nx=1\r\n"), {{u"A", u"x", u"2"}}, u"[A]\r\nx=2\r\n"},
      {"unnamed section after comment", Utf16File(u";c\r\n[A]\r\nx=1\r\n"), {{u"", u"k", u"v"}},
       u";c\r\nk=v\r\n[A]\r\nx=1\r\n"},
      {"unnamed section at the top", Utf16File(u"[A]\r\nx=1\r\n"), {{u"", u"k", u"v"}}, u"k=v\r\n[A]\r\nx=1\r\n"},
      {"empty header loses its line", Utf16File(u"[A]\r\nx=1\r\n[]\r\ny=2\r\n"), {{u"", u"k", u"v"}},
       u"k=v\r\n[A]\r\nx=1\r\ny=2\r\n"},
      {"NUL in a header", Utf16File(std::u16string(u"[A\0x]\r\nk=1\r\n", 12)), {{u"A", u"z", u"1"}},
       u"[A]\r\nk=1\r\nz=1\r\n"},
      {"odd final byte is a character", Utf16File(u"[A]\r\nx=1\r\n") + "\x41", {{u"A", u"z", u"1"}},
       u"[A]\r\nx=1\r\nA\r\nz=1\r\n"},
      {"odd final byte ends a value", Utf16File(u"[A]\r\nx=1") + "\x41", {{u"A", u"z", u"1"}},
       u"[A]\r\nx=1A\r\nz=1\r\n"},
      {"NUL ends a line's text", Utf16File(std::u16string(u"[A]\r\nx=a\0\0b\r\nn\0m=1\r\n", 18)),
       {{u"A", u"z", u"1"}}, u"[A]\r\nx=a\r\nn=1\r\nz=1\r\n"},
  };
  return cases;
}

struct IniReadCase {
  std::u16string_view section, key, defaultValue, expected;
};

inline const std::string& IniReadFile() {
  using korvex::test::Utf16File;
  static const std::string bytes = Utf16File(
      u"; head comment\r\nloose=1\r\n\r\n[ Sp ]\r\n  Key = Old  \r\n\r\nnovalue\r\n;c=1\r\n#h\r\n[Dup]\r\na=1\r\n"
      u"a=2\r\n[dup]\r\nb=3\r\n[Q]\r\nq1=\"quoted\"\r\nq2='single'\r\nq3=\"open\r\nq4=\"\r\nq5=\"\"\r\nq6=\"a\"b\"\r\n"
      u"q7=\"mixed'\r\n=emptyname\r\n[bad\r\n[x]y]\r\n[t] trailing\r\nk=v\r\n[]\r\ne=1\r\n[E]\r\na = b = c \r\nb==\r\n"
      u"c=\t\r\n[\u00C0B]\r\nx=1\r\n[W]\r\n\x0b"
      u"k1\x0b=\x0cv\x0c\r\n\x1ak2\x1a=\x1av\x1a\r\n\u00a0k3\u00a0=v\r\n\u3000k4=v\r\n\x1fk5=v\r\n[Last]\r\nz=9");
  return bytes;
}

inline const std::vector<IniReadCase>& IniReadCases() {
  static const std::vector<IniReadCase> cases = {
      {u"", u"loose", u"<d>", u"1"},
      {u" Sp ", u"Key", u"<d>", u"Old"},
      {u"Sp", u"Key", u"<d>", u"Old"},
      {u" sp ", u" key ", u"<d>", u"Old"},
      {u"Sp", u"novalue", u"<d>", u"<d>"},
      {u"Sp", u";c", u"<d>", u"1"},
      {u"Sp", u"#h", u"<d>", u"<d>"},
      {u"dup", u"a", u"<d>", u"1"},
      {u"DUP", u"b", u"<d>", u"<d>"},
      {u"Q", u"q1", u"<d>", u"quoted"},
      {u"Q", u"q2", u"<d>", u"single"},
      {u"Q", u"q3", u"<d>", u"\"open"},
      {u"Q", u"q4", u"<d>", u"\""},
      {u"Q", u"q5", u"<d>", u""},
      {u"Q", u"q6", u"<d>", u"a\"b"},
      {u"Q", u"q7", u"<d>", u"\"mixed'"},
      {u"Q", u"", u"<d>", u"emptyname"},
      {u"Q", u"[bad", u"<d>", u"<d>"},
      {u"x]y", u"k", u"<d>", u"<d>"},
      {u"t", u"k", u"<d>", u"v"},
      {u"", u"e", u"<d>", u"<d>"},
      {u"Last", u"z", u"<d>", u"9"},
      {u"E", u"a", u"<d>", u"b = c"},
      {u"E", u"b", u"<d>", u"="},
      {u"E", u"c", u"<d>", u""},
      {u"\u00C0B", u"x", u"<d>", u"1"},
      {u"\u00E0b", u"x", u"<d>", u"<d>"},  // only ASCII letters match without regard to case
      {u"W", u"k1", u"<d>", u"v"},
      {u"W", u"k2", u"<d>", u"v"},
      {u"W", u"k3", u"<d>", u"<d>"},
      {u"W", u"k4", u"<d>", u"<d>"},
      {u"W", u"k5", u"<d>", u"<d>"},
      {u"Q", u"nokey", u"  def  ", u"  def"},
      {u"Q", u"nokey", u"\"qd\"", u"qd"},
      {u"Q", u"nokey", u"  ", u" "},
      {u"Q", u"nokey", u"", u""},
      {u"NoSection", u"k", u"d", u"d"},
  };
  return cases;
}

struct IniIntCase {
  std::u16string_view value;  // nullopt-like: empty view with `present` false means the key is absent
  bool present;
  int32_t expected;
};

inline const std::vector<IniIntCase>& IniIntCases() {
  static const std::vector<IniIntCase> cases = {
      {u"12abc", true, 12},   {u" -5", true, -5},   {u"0x10", true, 16},     {u"", true, -99},
      {u"abc", true, 0},      {u"+7", true, 7},     {u"\" 5\"", true, 5},    {u"- 5", true, 0},
      {u"\"\"", true, -99},   {u"\x01\x32", true, 2}, {u"0b11", true, 3},   {u"0o17", true, 15},
      {u"0X10", true, 0},     {u"010", true, 10},   {u"-0x10", true, -16},   {u"0x", true, 0},
      {u"0xg", true, 0},      {u"0xFFFFFFFF", true, -1}, {u"+-1", true, 0}, {u"\"-3\"", true, -3},
      {u" 0x1F ", true, 31},  {u"1e3", true, 1},    {u"0b2", true, 0},       {u"\x7f\x31", true, 0},
      {u"99999999999", true, 1215752191},  {u"-2147483649", true, 2147483647}, {u"4294967295", true, -1},
      {u"0000000000000000000000000000012", true, 0},  // only the first 29 characters count
      {u"", false, -99},
  };
  return cases;
}
