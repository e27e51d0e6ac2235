// Hostile and broken requests sent to the real headless host: each is refused
// without harm or answered with a clear message, no file is read on the
// request's behalf, and the very next request is answered as usual.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "bridge/InvokeRequest.h"
#include "support/HostProcess.h"

namespace quillfen {
namespace {

using testing::HostRun;
using testing::HostSandbox;

const std::string kStartUp =
    "call <invoke name=\"LoadSettings\" returntype=\"xml\"><arguments/></invoke>\n"
    "wait 100\n";

std::string SetSource(const std::string& path) {
  return "<invoke name=\"SetPath\" returntype=\"xml\"><arguments><string>Source</string><string>" + path +
         "</string></arguments></invoke>";
}

std::string ShownSource(const std::string& path) {
  return "movie <invoke name=\"setValue\" returntype=\"xml\"><arguments><string>cmbSource</string><string>" + path +
         "</string><number>1</number></arguments></invoke>";
}

// Runs the start-up, the request, and a plain SetPath that must be answered
// afterwards; checks that the host lived through it.
HostRun SendThenCheckAlive(const HostSandbox& sandbox, const std::string& request) {
  HostRun run = sandbox.Run(kStartUp + "call " + request + "\ncall " + SetSource("/after/the/request") + "\n", {}, 60);
  EXPECT_FALSE(run.timedOut) << "the host hung on the request";
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_GE(run.lines.size(), 2u);
  if (run.lines.size() >= 2) {
    EXPECT_EQ(run.lines[run.lines.size() - 2], ShownSource("/after/the/request")) << run.Log();
    EXPECT_EQ(run.lines.back(), "reply ");
  }
  return run;
}

// Refused: no action, no box, the source not touched, an empty reply.
void ExpectRefused(const HostSandbox& sandbox, const std::string& label, const std::string& request) {
  SCOPED_TRACE(label);
  const HostRun run = SendThenCheckAlive(sandbox, request);
  EXPECT_FALSE(run.Has("box ")) << run.Log();
  EXPECT_EQ(run.Matching(ShownSource("")).size(), 0u);
  const std::vector<std::string> shown = run.Matching("movie <invoke name=\"setValue\" returntype=\"xml\"><arguments><string>cmbSource");
  ASSERT_EQ(shown.size(), 2u) << "the start-up and the request after it, nothing from the refused one\n" << run.Log();
  ASSERT_GE(run.lines.size(), 3u);
  EXPECT_EQ(run.lines[run.lines.size() - 3], "reply ");
}

TEST(BadRequestTest, BrokenXmlAndMissingPartsAreRefused) {
  HostSandbox sandbox;
  ExpectRefused(sandbox, "not XML", "this is no request <at all");
  ExpectRefused(sandbox, "unclosed",
                "<invoke name=\"SetPath\" returntype=\"xml\"><arguments><string>Source</string><string>/x</string>");
  ExpectRefused(sandbox, "two roots", SetSource("/x") + SetSource("/y"));
  ExpectRefused(sandbox, "no arguments", "<invoke name=\"SetPath\" returntype=\"xml\"/>");
  ExpectRefused(sandbox, "no name",
                "<invoke returntype=\"xml\"><arguments><string>Source</string><string>/x</string></arguments></invoke>");
  ExpectRefused(sandbox, "another root",
                "<call name=\"SetPath\"><arguments><string>Source</string><string>/x</string></arguments></call>");
}

TEST(BadRequestTest, EntitiesAndDoctypesAreNeverExpandedNorLoaded) {
  HostSandbox sandbox;
  const std::string secret = "the-secret-the-program-must-not-read";
  HostSandbox::WriteFile(sandbox.Path("secret.txt"), secret);
  // A pipe blocks whoever opens it for reading: an attempt to load it would
  // hang the host, which the time limit turns into a failure.
  const std::string fifo = sandbox.Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

  ExpectRefused(sandbox, "unknown entity", SetSource("/x&nbsp;y"));
  ExpectRefused(sandbox, "undefined entity", SetSource("&undefined;"));
  ExpectRefused(sandbox, "internal entity",
                "<!DOCTYPE invoke [<!ENTITY e \"/evil\">]>" + SetSource("&e;"));
  ExpectRefused(sandbox, "entity bomb",
                "<!DOCTYPE invoke [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>" +
                    SetSource("&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;"));
  ExpectRefused(sandbox, "external entity of a file",
                "<!DOCTYPE invoke [<!ENTITY x SYSTEM \"file://" + sandbox.Path("secret.txt") + "\">]>" + SetSource("&x;"));
  ExpectRefused(sandbox, "external entity of a pipe",
                "<!DOCTYPE invoke [<!ENTITY x SYSTEM \"" + fifo + "\">]>" + SetSource("&x;"));
  ExpectRefused(sandbox, "external parameter entity",
                "<!DOCTYPE invoke [<!ENTITY % p SYSTEM \"" + fifo + "\"> %p;]>" + SetSource("/x"));
  ExpectRefused(sandbox, "external document type", "<!DOCTYPE invoke SYSTEM \"" + fifo + "\">" + SetSource("/x"));
  ExpectRefused(sandbox, "NUL reference", SetSource("/x&#0;"));
  ExpectRefused(sandbox, "surrogate reference", SetSource("/x&#xD800;"));
  ExpectRefused(sandbox, "reference beyond Unicode", SetSource("/x&#x110000;"));
  ExpectRefused(sandbox, "reference too long", SetSource("/x&#99999999999999;"));

  const HostRun run = SendThenCheckAlive(sandbox, SetSource("&lt;&amp;&gt;&quot;&apos;&#65;&#x42;"));
  EXPECT_TRUE(run.Has(ShownSource("&lt;&amp;&gt;\"'AB"))) << "the predefined references still read\n" << run.Log();
  for (const std::string& line : run.lines) EXPECT_EQ(line.find(secret), std::string::npos);
}

TEST(BadRequestTest, BytesThatAreNoTextAreRefused) {
  HostSandbox sandbox;
  ExpectRefused(sandbox, "lone byte", SetSource("/card\xff"));
  ExpectRefused(sandbox, "overlong slash", SetSource("/card\xc0\xaf"));
  ExpectRefused(sandbox, "encoded surrogate", SetSource("/card\xed\xa0\x80"));
  ExpectRefused(sandbox, "cut sequence", SetSource("/card\xe2\x82"));
  ExpectRefused(sandbox, "beyond Unicode", SetSource("/card\xf4\x90\x80\x80"));
  ExpectRefused(sandbox, "NUL byte", SetSource(std::string("/card\0/x", 8)));
}

TEST(BadRequestTest, UnknownCommandsAreNamedIntactInTheirMessage) {
  HostSandbox sandbox;
  HostRun run = SendThenCheckAlive(
      sandbox, "<invoke name=\"Bogus&#10;%1 %2 &quot;q&quot; -rf \\x\" returntype=\"xml\"><arguments/></invoke>");
  EXPECT_TRUE(run.Has("box information OK title=Quillfen text=Неизвестная команда Bogus\\n%1 %2 \"q\" -rf \\\\x -> OK"))
      << run.Log();

  run = SendThenCheckAlive(sandbox,
                           "<invoke name=\"SetPath\" returntype=\"xml\"><arguments><string>%1Target</string>"
                           "<string>/x</string></arguments></invoke>");
  EXPECT_TRUE(run.Has("box information OK title=Ошибка вызова процедуры text=Неизвестная команда %1Target -> OK"))
      << run.Log();
}

TEST(BadRequestTest, HugeRequestsAreRefusedQuicklyAndWithLittleMemory) {
  HostSandbox sandbox;
  const std::size_t huge = 10 * 1024 * 1024;
  ExpectRefused(sandbox, "10 MB path", SetSource("/" + std::string(huge, 'a')));
  ExpectRefused(sandbox, "10 MB command name", "<invoke name=\"" + std::string(huge, 'N') + "\"><arguments/></invoke>");
  // Millions of names: before the limit this held the host for over a
  // minute and took most of a gigabyte.
  HostRun run = SendThenCheckAlive(sandbox, "<invoke name=\"GetFormStrings\" returntype=\"xml\"><arguments><string>" +
                                                std::string(huge, ':') + "</string></arguments></invoke>");
  EXPECT_EQ(run.lines[run.lines.size() - 3], "reply ");
  EXPECT_LT(testing::CheckedPeakKilobytes(run.peakKilobytes), 200 * 1024);
  ExpectRefused(sandbox, "a million arguments",
                "<invoke name=\"SetPath\" returntype=\"xml\"><arguments>" + [] {
                  std::string many;
                  for (int i = 0; i < 1000000; ++i) many += "<string>Source</string>";
                  return many;
                }() + "</arguments></invoke>");

  // Just within the limit: a request of nested elements is read as its text,
  // without recursion, and a longest path still arrives whole.
  std::string nested;
  const int depth = 9000;
  for (int i = 0; i < depth; ++i) nested += "<a>";
  nested += "/deep";
  for (int i = 0; i < depth; ++i) nested += "</a>";
  ASSERT_LE(SetSource(nested).size(), kMaxRequestBytes);
  run = SendThenCheckAlive(sandbox, SetSource(nested));
  EXPECT_TRUE(run.Has(ShownSource("/deep"))) << run.Log();

  const std::string longest = "/" + std::string(4095, 'p');
  run = SendThenCheckAlive(sandbox, SetSource(longest));
  EXPECT_TRUE(run.Has(ShownSource(longest)));
  std::string escaped = "/";
  for (int i = 0; i < 4095; ++i) escaped += "&amp;";
  ASSERT_LE(SetSource(escaped).size(), kMaxRequestBytes);
  run = SendThenCheckAlive(sandbox, SetSource(escaped));
  EXPECT_TRUE(run.Has(ShownSource("/" + [] {
    std::string s;
    for (int i = 0; i < 4095; ++i) s += "&amp;";
    return s;
  }())));
}

}  // namespace
}  // namespace quillfen
