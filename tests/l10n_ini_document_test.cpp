#include "base/IniDocument.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

const char* kSample =
    "; written by hand\r\n"
    "[Settings]\r\n"
    "Source = /media/card  \r\n"
    "  Target=\"/home/anna/Pictures\"\r\n"
    "odd line without equals\r\n"
    "\r\n"
    "[Other]\r\n"
    "Quoted='single'\r\n"
    "Half=\"open\r\n"
    "Empty=\r\n";

TEST(IniDocumentTest, ReadsWithTheProfileRules) {
  auto doc = IniDocument::Parse(kSample);
  EXPECT_EQ(doc.Get("settings", "SOURCE"), "/media/card");
  EXPECT_EQ(doc.Get("Settings", "target"), "/home/anna/Pictures");
  EXPECT_EQ(doc.Get("Other", "Quoted"), "single");
  EXPECT_EQ(doc.Get("Other", "Half"), "\"open");
  EXPECT_EQ(doc.Get("Other", "Empty"), "");
  EXPECT_EQ(doc.Get("Other", "Source"), std::nullopt);
  EXPECT_EQ(doc.Get("Missing", "Source"), std::nullopt);
  EXPECT_EQ(doc.Get("Settings", "odd line without equals"), std::nullopt);
  EXPECT_EQ(doc.Sections(), (std::vector<std::string>{"Settings", "Other"}));
  EXPECT_EQ(doc.Keys("OTHER"), (std::vector<std::string>{"Quoted", "Half", "Empty"}));
}

TEST(IniDocumentTest, UntouchedTextSurvivesByteForByte) {
  EXPECT_EQ(IniDocument::Parse(kSample).Serialize(), kSample);
  std::string mixed = "\xEF\xBB\xBF[a]\nx=1\r\n# note\rlast=no break";
  EXPECT_EQ(IniDocument::Parse(mixed).Serialize(), mixed);
  auto bom = IniDocument::Parse(mixed);
  EXPECT_EQ(bom.Get("A", "x"), "1");
  EXPECT_EQ(bom.Get("a", "last"), "no break");
  std::string garbage("\0\xff\xfe[\x80]=\r\r\n==]\0", 14);
  EXPECT_EQ(IniDocument::Parse(garbage).Serialize(), garbage);
}

TEST(IniDocumentTest, SetChangesOnlyTheKeysLine) {
  auto doc = IniDocument::Parse(kSample);
  doc.Set("SETTINGS", "source", "/media/other");
  std::string expected = kSample;
  expected.replace(expected.find("/media/card  "), 13, "/media/other");
  EXPECT_EQ(doc.Serialize(), expected);

  doc.Set("Settings", "Language", "Russian");
  doc.Set("New", "Key", "v");
  EXPECT_EQ(doc.Get("settings", "language"), "Russian");
  EXPECT_EQ(doc.Get("new", "key"), "v");
  std::string text = doc.Serialize();
  EXPECT_NE(text.find("  Target=\"/home/anna/Pictures\"\r\nLanguage=Russian\r\nodd line"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 14), "[New]\r\nKey=v\r\n");
}

TEST(IniDocumentTest, SetValuesReadBackUnchangedAndNeverAddLines) {
  auto doc = IniDocument::Parse("[s]\nlast=1");
  for (std::string value : {"  padded  ", "\"quoted\"", "'single'", "\"", "", "a=b;c"}) {
    doc.Set("s", "k", value);
    EXPECT_EQ(doc.Get("s", "k"), value) << value;
  }
  doc.Set("s", "k", "two\nlines\r[evil]");
  EXPECT_EQ(doc.Get("s", "k"), "two lines [evil]");
  EXPECT_EQ(doc.Sections(), std::vector<std::string>{"s"});
  EXPECT_EQ(doc.Get("s", "last"), "1");  // the last line got its break before the new key
}

TEST(IniDocumentTest, DeletesKeysAndSectionsInEveryCopy) {
  auto doc = IniDocument::Parse("[a]\nx=1\ny=2\n[b]\nx=3\n[A]\nx=4\nz=5\n");
  doc.DeleteKey("A", "X");
  EXPECT_EQ(doc.Serialize(), "[a]\ny=2\n[b]\nx=3\n[A]\nz=5\n");
  doc.DeleteSection("a");
  EXPECT_EQ(doc.Serialize(), "[b]\nx=3\n");
  doc.DeleteSection("none");
  doc.DeleteKey("b", "none");
  EXPECT_EQ(doc.Serialize(), "[b]\nx=3\n");
}

TEST(IniDocumentTest, NamesMatchAcrossCyrillicCase) {
  auto doc = IniDocument::Parse("[Диалоги]\nПауза=1\n");
  EXPECT_EQ(doc.Get("диалоги", "ПАУЗА"), "1");
}

}  // namespace
}  // namespace quillfen
