// Parsing speed of CXmlDocument against pugixml and tinyxml2 on the same
// generated document of about 4 MB of UTF-16 text (a skin-like mix of nested
// sections, attributes, text with references and comments).
//
// All three start from the UTF-16 text in memory. pugixml reads it as
// encoding_utf16_le (its own conversion is part of what is timed). tinyxml2
// parses UTF-8 only: the text is converted once, outside the timed loop, so
// its figure leaves out a conversion the other two pay for.

#include <benchmark/benchmark.h>

#include <pugixml.hpp>
#include <string>
#include <tinyxml2.h>

#include "xml/xml_document.h"

namespace {

std::u16string Ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::u16string GenerateDocument(std::size_t targetUnits) {
  std::u16string text = u"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n<Skin version=\"2\">\r\n";
  for (int i = 0; text.size() < targetUnits; ++i) {
    auto n = Ascii(std::to_string(i));
    text += u"  <!-- section " + n + u": buttons and captions -->\r\n";
    text += u"  <Section name=\"Page" + n + u"\" id='" + n + u"'>\r\n";
    for (int j = 0; j < 8; ++j) {
      auto m = Ascii(std::to_string(j));
      text += u"    <Button" + m + u">10,20,30,40,Skins\\btn" + m + u".bmp,0,1</Button" + m + u">\r\n";
      text += u"    <Caption id=\"" + m + u"\" lang=\"101\">Profile &amp; light &#233; \u00E9t\u00E9 &lt;" + m +
              u"&gt;</Caption>\r\n";
    }
    text += u"    <Group kind=\"inner\"><Item key=\"K" + n +
            u"\">value</Item><Empty/><Item key=\"L\">&quot;quoted&quot;</Item></Group>\r\n";
    text += u"  </Section>\r\n";
  }
  text += u"</Skin>\r\n";
  return text;
}

const std::u16string& Document() {
  static const std::u16string text = GenerateDocument(2u << 20);  // 2 Mi units = 4 MiB
  return text;
}

void SetCounters(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(Document().size() * sizeof(char16_t)));
}

void BM_ParseXml_CXmlDocument(benchmark::State& state) {
  const auto& text = Document();
  for (auto _ : state) {
    CXmlDocument doc;
    bool ok = doc.SetText(text);
    if (!ok) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(doc.GetElementCount());
  }
  SetCounters(state);
}

void BM_ParseXml_pugixml(benchmark::State& state) {
  const auto& text = Document();
  for (auto _ : state) {
    pugi::xml_document doc;
    auto result = doc.load_buffer(text.data(), text.size() * sizeof(char16_t), pugi::parse_default,
                                  pugi::encoding_utf16_le);
    if (!result) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(doc.first_child());
  }
  SetCounters(state);
}

void BM_ParseXml_tinyxml2(benchmark::State& state) {
  const auto& text = Document();
  std::string utf8;
  {
    std::wstring wide(text.begin(), text.end());
    utf8 = pugi::as_utf8(wide);
  }
  for (auto _ : state) {
    tinyxml2::XMLDocument doc;
    if (doc.Parse(utf8.data(), utf8.size()) != tinyxml2::XML_SUCCESS) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(doc.RootElement());
  }
  SetCounters(state);
}

}  // namespace

BENCHMARK(BM_ParseXml_CXmlDocument)->Name("BM_ParseXml/CXmlDocument")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseXml_pugixml)->Name("BM_ParseXml/pugixml")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseXml_tinyxml2)->Name("BM_ParseXml/tinyxml2")->Unit(benchmark::kMillisecond);
