#include "bridge/clsXMLProvider.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "bridge/EncodingFailure.h"
#include "bridge/InvokeRequest.h"
#include "script/EventLog.h"
#include "script/ScriptedWindowSystem.h"

namespace quillfen {
namespace {

class XmlProviderTest : public ::testing::Test {
 protected:
  EventLog log;
  ScriptedWindowSystem window{log};
  clsXMLProvider xml;

  std::string Wrapped(const Variant& value) { return xml.WrappArgument(value).Xml(); }
};

TEST_F(XmlProviderTest, CallTextsAreExact) {
  xml.InitializeXMLFunction("setValue");
  EXPECT_EQ(xml.GetWrappedXMLFunction(), R"(<invoke name="setValue" returntype="xml"><arguments/></invoke>)");

  xml.InitializeXMLFunction("setProgress");
  xml.AddXMLFunctionArgument(xml.WrappArgument(42));
  EXPECT_EQ(xml.GetWrappedXMLFunction(),
            R"(<invoke name="setProgress" returntype="xml"><arguments><number>42</number></arguments></invoke>)");

  // Reset keeps the name; only the arguments added since are sent.
  xml.ResetArguments();
  EXPECT_EQ(xml.GetWrappedXMLFunction(), R"(<invoke name="setProgress" returntype="xml"><arguments/></invoke>)");
  xml.AddXMLFunctionArgument(xml.WrappArgument("cmbSource"));
  xml.AddXMLFunctionArgument(xml.WrappArgument(true));
  EXPECT_EQ(xml.GetWrappedXMLFunction(),
            "<invoke name=\"setProgress\" returntype=\"xml\"><arguments><string>cmbSource</string><true/>"
            "</arguments></invoke>");

  // A second start replaces the call with all its arguments.
  xml.InitializeXMLFunction("SwitchControls");
  EXPECT_EQ(xml.GetWrappedXMLFunction(), R"(<invoke name="SwitchControls" returntype="xml"><arguments/></invoke>)");
}

TEST_F(XmlProviderTest, ValuesEncodeByTheirKind) {
  EXPECT_EQ(Wrapped(""), "<string/>");
  EXPECT_EQ(Wrapped("a<b&c"), "<string>a&lt;b&amp;c</string>");
  EXPECT_EQ(Wrapped("x > y \"q\" 'a'"), "<string>x &gt; y \"q\" 'a'</string>");
  EXPECT_EQ(Wrapped("Фото Ünïcode 📷"), "<string>Фото Ünïcode 📷</string>");
  EXPECT_EQ(Wrapped(true), "<true/>");
  EXPECT_EQ(Wrapped(false), "<false/>");
  EXPECT_EQ(Wrapped(Collection{}), "<array/>");
  EXPECT_EQ(Wrapped(Collection{{"cmdMove", "Move"}, {"cmdPause", "Pause"}}),
            "<array><property id=\"cmdMove\"><string>Move</string></property>"
            "<property id=\"cmdPause\"><string>Pause</string></property></array>");
  EXPECT_EQ(Wrapped(Collection{{"outer", Collection{{"inner", 7}, {"no", false}}}, {"e", ""}}),
            "<array><property id=\"outer\"><array><property id=\"inner\"><number>7</number></property>"
            "<property id=\"no\"><false/></property></array></property>"
            "<property id=\"e\"><string/></property></array>");
}

TEST_F(XmlProviderTest, AttributeValuesEscapeAmpersandLessThanAndQuoteButNotGreaterThan) {
  EXPECT_EQ(Wrapped(Collection{{"a&b<c>d\"e'f", 1}}),
            "<array><property id=\"a&amp;b&lt;c>d&quot;e'f\"><number>1</number></property></array>");
  xml.InitializeXMLFunction("f\"&<>");
  EXPECT_EQ(xml.GetWrappedXMLFunction(), R"(<invoke name="f&quot;&amp;&lt;>" returntype="xml"><arguments/></invoke>)");
}

TEST_F(XmlProviderTest, NumbersAreLocaleIndependentDecimalText) {
  EXPECT_EQ(Wrapped(0), "<number>0</number>");
  EXPECT_EQ(Wrapped(-17), "<number>-17</number>");
  EXPECT_EQ(Wrapped(std::int16_t{4}), "<number>4</number>");
  EXPECT_EQ(Wrapped(std::int64_t{9007199254740993}), "<number>9007199254740993</number>");
  EXPECT_EQ(Wrapped(42.0), "<number>42</number>");
  EXPECT_EQ(Wrapped(-0.0), "<number>0</number>");
  EXPECT_EQ(Wrapped(100.0), "<number>100</number>");
  EXPECT_EQ(Wrapped(1e21), "<number>1000000000000000000000</number>");
  EXPECT_EQ(Wrapped(0.5), "<number>0.5</number>");
  EXPECT_EQ(Wrapped(-2.25), "<number>-2.25</number>");
  EXPECT_EQ(Wrapped(0.1), "<number>0.1</number>");
  EXPECT_EQ(Wrapped(1e-7), "<number>0.0000001</number>");
}

TEST_F(XmlProviderTest, WrappedStringIsAWholeDocumentWithCrLf) {
  EXPECT_EQ(xml.GetWrappedString("/media/card/Photos"), "<string>/media/card/Photos</string>\r\n");
  EXPECT_EQ(xml.GetWrappedString(""), "<string/>\r\n");
  EXPECT_EQ(xml.GetWrappedString("R&D <old>"), "<string>R&amp;D &lt;old&gt;</string>\r\n");
}

TEST_F(XmlProviderTest, ElementsOutliveTheirMakerAndCanBeSentTwice) {
  XmlElement element;
  {
    clsXMLProvider scratch;
    element = scratch.WrappArgument(Collection{{"k", "v"}});
  }
  const XmlElement copy = element;
  element = XmlElement();
  EXPECT_EQ(copy.Xml(), R"(<array><property id="k"><string>v</string></property></array>)");

  xml.InitializeXMLFunction("f");
  xml.AddXMLFunctionArgument(copy);
  xml.AddXMLFunctionArgument(copy);
  EXPECT_EQ(xml.GetWrappedXMLFunction(),
            "<invoke name=\"f\" returntype=\"xml\"><arguments>"
            "<array><property id=\"k\"><string>v</string></property></array>"
            "<array><property id=\"k\"><string>v</string></property></array></arguments></invoke>");
  // The appended copy is the call's own: the element itself is unchanged.
  EXPECT_EQ(copy.Xml(), R"(<array><property id="k"><string>v</string></property></array>)");
}

TEST_F(XmlProviderTest, ArgumentsBeforeACallStartAreAnErrorForTheCaller) {
  EXPECT_THROW(xml.ResetArguments(), std::logic_error);
  EXPECT_THROW(xml.AddXMLFunctionArgument(xml.WrappArgument(1)), std::logic_error);
  xml.InitializeXMLFunction("f");
  EXPECT_THROW(xml.AddXMLFunctionArgument(XmlElement()), std::invalid_argument);
  EXPECT_EQ(xml.GetWrappedXMLFunction(), R"(<invoke name="f" returntype="xml"><arguments/></invoke>)");
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(XmlProviderTest, TheEncoderReportsWhatItCannotWriteToItsCallerAndShowsNothing) {
  using Cause = XmlEncodingError::Cause;
  const struct {
    std::function<void()> encode;
    Cause cause;
    std::string text;
  } cases[] = {
      {[&] { xml.GetWrappedXMLFunction(); }, Cause::CallNotStarted, "XML-данные не инициализированы"},
      {[&] { xml.WrappArgument(Variant()); }, Cause::UnknownDataType, "Неизвестный тип данных: 0"},
      {[&] { xml.WrappArgument(UnsupportedValue{7}); }, Cause::UnknownDataType, "Неизвестный тип данных: 7"},
      {[&] { xml.WrappArgument(Collection{{"a", 1}, {"b", Collection{{"c", UnsupportedValue{10}}}}}); },
       Cause::UnknownDataType, "Неизвестный тип данных: 10"},
  };
  for (const auto& failing : cases) {
    try {
      failing.encode();
      ADD_FAILURE() << "no failure reported for " << failing.text;
    } catch (const XmlEncodingError& error) {
      EXPECT_EQ(error.cause(), failing.cause) << failing.text;
      EXPECT_EQ(error.what(), failing.text);
    }
  }
  EXPECT_TRUE(log.Lines().empty());

  // A value that fails adds nothing to the call in hand.
  xml.InitializeXMLFunction("f");
  xml.AddXMLFunctionArgument(xml.WrappArgument(1));
  EXPECT_THROW(xml.AddXMLFunctionArgument(xml.WrappArgument(Collection{{"x", 2}, {"y", Variant()}})), XmlEncodingError);
  EXPECT_EQ(xml.GetWrappedXMLFunction(), R"(<invoke name="f" returntype="xml"><arguments><number>1</number></arguments></invoke>)");
}

TEST_F(XmlProviderTest, FatalErrorsShowTheirBoxAndEndTheProgram) {
  try {
    EncodedOrEnd(window, [&] { return xml.GetWrappedXMLFunction(); });
    FAIL() << "the program should have ended";
  } catch (const ProgramEnded& ended) {
    EXPECT_EQ(ended.exitCode, 1);
  }
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_EQ(log.Lines()[0], "box critical OK title=Quillfen text=XML-данные не инициализированы -> OK");

  for (int tag : {0, 1, 7, 10}) {
    log.Clear();
    EXPECT_THROW(EncodedOrEnd(window, [&] { return xml.WrappArgument(UnsupportedValue{tag}); }), ProgramEnded);
    ASSERT_EQ(log.Lines().size(), 1u);
    EXPECT_EQ(log.Lines()[0], "box none OK title=Quillfen text=Неизвестный тип данных: " + std::to_string(tag) + " -> OK");
  }
  // Also deep inside a collection.
  log.Clear();
  EXPECT_THROW(EncodedOrEnd(window, [&] { return xml.WrappArgument(Collection{{"a", Collection{{"b", Variant()}}}}); }),
               ProgramEnded);
  EXPECT_EQ(log.Matching("box none OK title=Quillfen text=Неизвестный тип данных: 0").size(), 1u);
}

TEST_F(XmlProviderTest, OnlyTheEncodersOwnFailuresEndTheProgram) {
  // What encodes is handed back as it is, and nothing is shown.
  EXPECT_EQ(EncodedOrEnd(window, [&] { return xml.WrappArgument(true).Xml(); }), "<true/>");
  // A builder used the wrong way is a fault for the caller, not a box for the user.
  const std::function<void()> misuses[] = {
      [&] { xml.ResetArguments(); },
      [&] {
        xml.InitializeXMLFunction("f");
        xml.AddXMLFunctionArgument(XmlElement());
      },
  };
  for (const auto& misuse : misuses) EXPECT_THROW(EncodedOrEnd(window, misuse), std::logic_error);
  EXPECT_TRUE(log.Lines().empty());
}

TEST(InvokeRequestTest, ReadsNameAndArgumentTextsWithOneEmptyEntryMore) {
  auto setPath = ReadInvokeRequest(
      R"(<invoke name="SetPath" returntype="xml"><arguments><string>Source</string><string>E:\</string></arguments></invoke>)");
  ASSERT_TRUE(setPath);
  EXPECT_EQ(setPath->name, "SetPath");
  EXPECT_EQ(setPath->arguments, (std::vector<std::string>{"Source", "E:\\", ""}));

  auto onlyTrue = ReadInvokeRequest(R"(<invoke name="f" returntype="xml"><arguments><true/></arguments></invoke>)");
  ASSERT_TRUE(onlyTrue);
  EXPECT_EQ(onlyTrue->arguments, (std::vector<std::string>{"", ""}));

  auto none = ReadInvokeRequest(R"(<invoke name="exit" returntype="xml"><arguments/></invoke>)");
  ASSERT_TRUE(none);
  EXPECT_EQ(none->arguments, (std::vector<std::string>{""}));

  // Every element reads as its text: digits, members run together, references decoded.
  auto mixed = ReadInvokeRequest(
      "<invoke name=\"a&amp;b\"><arguments><number>-3.5</number>"
      "<array><property id=\"x\"><string>1</string></property><property id=\"y\"><string>2</string></property></array>"
      "<string>&lt;&gt;&amp;&quot;&apos;&#65;&#x416;</string><string><![CDATA[<raw&>]]></string>"
      "<string>Фото</string></arguments></invoke>");
  ASSERT_TRUE(mixed);
  EXPECT_EQ(mixed->name, "a&b");
  EXPECT_EQ(mixed->arguments, (std::vector<std::string>{"-3.5", "12", "<>&\"'AЖ", "<raw&>", "Фото", ""}));
}

TEST(InvokeRequestTest, WhitespaceBetweenElementsIsNoArgumentButInsideAStringItIsKept) {
  auto request = ReadInvokeRequest(
      "<?xml version=\"1.0\"?>\r\n<invoke name=\"SetPath\">\r\n  <arguments>\r\n    <string>Target</string>\r\n"
      "    <string>  </string>\r\n  </arguments>\r\n</invoke>\r\n");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->arguments, (std::vector<std::string>{"Target", "  ", ""}));

  auto blank = ReadInvokeRequest("<invoke name=\"f\"><arguments> \n </arguments></invoke>");
  ASSERT_TRUE(blank);
  EXPECT_EQ(blank->arguments, (std::vector<std::string>{""}));
}

TEST(InvokeRequestTest, UnreadableRequestsGiveNothing) {
  const char* refused[] = {
      "",
      "not xml at all",
      "<invoke name=\"f\"><arguments></invoke>",
      "<call name=\"f\"><arguments/></call>",
      "<invoke><arguments/></invoke>",
      "<invoke name=\"f\"/>",
      "<invoke name=\"f\"><other/></invoke>",
      "<invoke name=\"f\"><arguments/></invoke><invoke name=\"g\"><arguments/></invoke>",
      // A document type, with or without entities, is never honoured.
      "<!DOCTYPE invoke><invoke name=\"f\"><arguments/></invoke>",
      "<!DOCTYPE invoke [<!ENTITY e \"boom\">]><invoke name=\"f\"><arguments><string>&e;</string></arguments></invoke>",
      "<!DOCTYPE invoke [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><invoke name=\"f\"><arguments><string>&e;"
      "</string></arguments></invoke>",
      // References to anything but the predefined entities or a character.
      "<invoke name=\"f\"><arguments><string>&e;</string></arguments></invoke>",
      "<invoke name=\"&e;\"><arguments/></invoke>",
      "<invoke name=\"f\"><arguments><string>a & b</string></arguments></invoke>",
      "<invoke name=\"f\"><arguments><string>&#0;</string></arguments></invoke>",
      "<invoke name=\"f\"><arguments><string>&#xD800;</string></arguments></invoke>",
      "<invoke name=\"f\"><arguments><string>&#x110000;</string></arguments></invoke>",
      "<invoke name=\"f\"><arguments><string>&#12a;</string></arguments></invoke>",
      // Not UTF-8.
      "<invoke name=\"f\"><arguments><string>\xD4\xEE\xF2\xEE</string></arguments></invoke>",
      "<invoke name=\"f\"><arguments><string>\xC0\xAF</string></arguments></invoke>",
      "<invoke name=\"f\"><arguments><string>\xED\xA0\x80</string></arguments></invoke>",
  };
  for (const char* text : refused) EXPECT_FALSE(ReadInvokeRequest(text)) << text;
  const std::string withNul = std::string("<invoke name=\"f\"><arguments><string>a") + '\0' +
                              "b</string></arguments></invoke>";
  EXPECT_FALSE(ReadInvokeRequest(withNul));
}

TEST(InvokeRequestTest, HugeAndDeeplyNestedRequestsAreReadWithoutHarm) {
  const std::string big(10 * 1024 * 1024, 'x');
  auto request = ReadInvokeRequest("<invoke name=\"SetPath\"><arguments><string>Source</string><string>" + big +
                                   "</string></arguments></invoke>");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->arguments.size(), 3u);
  EXPECT_EQ(request->arguments[1].size(), big.size());

  std::string deep = "<invoke name=\"f\"><arguments>";
  const int depth = 200000;
  for (int i = 0; i < depth; ++i) deep += "<a>";
  deep += "t";
  for (int i = 0; i < depth; ++i) deep += "</a>";
  deep += "</arguments></invoke>";
  auto nested = ReadInvokeRequest(deep);
  ASSERT_TRUE(nested);
  EXPECT_EQ(nested->arguments, (std::vector<std::string>{"t", ""}));
}

TEST(InvokeRequestTest, WhatTheCodecWritesReadsBack) {
  clsXMLProvider xml;
  xml.InitializeXMLFunction("setValue");
  for (const char* text : {"cmbSource", "a<b&c>\"d\"", "Фото  ", ""}) xml.AddXMLFunctionArgument(xml.WrappArgument(text));
  auto request = ReadInvokeRequest(xml.GetWrappedXMLFunction());
  ASSERT_TRUE(request);
  EXPECT_EQ(request->name, "setValue");
  EXPECT_EQ(request->arguments, (std::vector<std::string>{"cmbSource", "a<b&c>\"d\"", "Фото  ", "", ""}));
}

}  // namespace
}  // namespace quillfen
