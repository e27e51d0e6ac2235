// Faults the fuzz targets found, kept fixed: line breaks and tabs that an XML
// reader would normalise away, letters the hive file folded differently from
// the hive in memory, and numbers too long for a double that read as zero.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cmath>
#include <fstream>
#include <limits>
#include <string>

#include "base/NoCase.h"
#include "bridge/InvokeRequest.h"
#include "bridge/clsXMLProvider.h"
#include "mover/BaseNameNumber.h"
#include "posix/FileRegistryHive.h"
#include "memory/HiveText.h"
#include "memory/MemoryRegistryHive.h"
#include "support/TempDir.h"

namespace quillfen {
namespace {

TEST(FuzzRegressionTest, CarriageReturnsAndTabsReachTheReaderUnchanged) {
  clsXMLProvider xml;
  const std::string id = "a\tb\nc\rd";
  const std::string text = "x\ry\r\nz\tw\n";
  const std::string encoded = xml.WrappArgument(Variant(Collection{{id, Variant(text)}})).Xml();
  EXPECT_EQ(encoded, "<array><property id=\"a&#9;b&#10;c&#13;d\"><string>x&#13;y&#13;\nz\tw\n</string></property></array>");

  // A conforming reader (end-of-line and attribute normalisation, as in the
  // movie) gets both back exactly.
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string(encoded.c_str(), pugi::parse_default));
  const pugi::xml_node property = document.first_child().first_child();
  EXPECT_EQ(std::string(property.attribute("id").value()), id);
  EXPECT_EQ(std::string(property.first_child().text().get()), text);

  // And so does the program's own request reader.
  xml.InitializeXMLFunction("setValue");
  xml.AddXMLFunctionArgument(xml.WrappArgument(Variant(text)));
  const auto request = ReadInvokeRequest(xml.GetWrappedXMLFunction());
  ASSERT_TRUE(request.has_value());
  EXPECT_EQ(request->arguments.at(0), text);
  EXPECT_EQ(xml.GetWrappedString("a\rb"), "<string>a&#13;b</string>\r\n");
}

TEST(FuzzRegressionTest, RegistryNamesFoldCyrillicLettersLikeTheHiveFile) {
  EXPECT_EQ(FoldNoCase("ИМЯ Ёж ÀB"), FoldNoCase("имя ёж àb"));
  EXPECT_NE(FoldNoCase("a\xff"), FoldNoCase("a\xfe"));
  EXPECT_EQ(FoldNoCase("\xd0"), "\xd0");  // a lone invalid byte stays as it is
  EXPECT_EQ(FoldRegistryName("\\\\Ключ\\\\ИМЯ\\"), "ключ\\имя");

  MemoryRegistryHive memory;
  memory.CreateKey(RegistryRoot::CurrentUser, "Ключ");
  memory.SetValue(RegistryRoot::CurrentUser, "КЛЮЧ", "Имя", "one");
  memory.SetValue(RegistryRoot::CurrentUser, "ключ", "имя", "two");
  std::string data;
  ASSERT_TRUE(memory.QueryValue(RegistryRoot::CurrentUser, "Ключ", "ИМЯ", 255, data));
  EXPECT_EQ(data, "two");
  EXPECT_EQ(memory.keys().size(), 1u);

  // The same through the file: the value set is the one read back, and the
  // text written reads as the same hive.
  testing::TempDir dir;
  const std::string path = dir.Write("registry.ini", "[HKEY_CURRENT_USER\\Ключ]\nимя=a\nИМЯ=b\n");
  FileRegistryHive file(path);
  ASSERT_TRUE(file.SetValue(RegistryRoot::CurrentUser, "Ключ", "Имя", "Значение"));
  ASSERT_TRUE(file.QueryValue(RegistryRoot::CurrentUser, "КЛЮЧ", "имя", 255, data));
  EXPECT_EQ(data, "Значение");
  const auto parsed = hive_text::Parse(dir.Read("registry.ini"));
  ASSERT_TRUE(parsed.damage.empty());
  const auto again = hive_text::Parse(hive_text::Serialize(parsed.hive));
  ASSERT_TRUE(again.damage.empty());
  ASSERT_TRUE(again.hive.QueryValue(RegistryRoot::CurrentUser, "ключ", "ИМЯ", 255, data));
  EXPECT_EQ(data, "Значение");
}

TEST(FuzzRegressionTest, NumbersBeyondADoubleReadAsInfinityWhateverTheirForm) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::string nines(400, '9');
  EXPECT_EQ(ReadBaseNameNumber(nines), inf);
  EXPECT_EQ(ReadBaseNameNumber("-" + nines + "_IMG"), -inf);
  EXPECT_EQ(ReadBaseNameNumber(nines + "e-5"), inf);  // still far beyond a double
  EXPECT_EQ(ReadBaseNameNumber("0000" + nines + ".5"), inf);
  EXPECT_EQ(ReadBaseNameNumber("1e400"), inf);
  EXPECT_EQ(ReadBaseNameNumber("1e99999999999999999999"), inf);
  // Too small is zero, however it is written.
  EXPECT_EQ(ReadBaseNameNumber("1e-400"), 0.0);
  EXPECT_EQ(ReadBaseNameNumber("0." + std::string(400, '0') + "1e50"), 0.0);
  EXPECT_EQ(ReadBaseNameNumber(nines + "e-99999999999"), 0.0);
  EXPECT_EQ(ReadBaseNameNumber("0e999999"), 0.0);
  // In range nothing changed.
  EXPECT_EQ(ReadBaseNameNumber("0042"), 42.0);
  EXPECT_EQ(ReadBaseNameNumber(" 1.5e3x"), 1500.0);
}

}  // namespace
}  // namespace quillfen
