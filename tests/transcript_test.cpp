// The headless host: reading transcripts, and the real quillfen-script
// program run on every tests/transcripts/*.transcript, its event log compared
// with the *.log beside it.
//
// Each run gets a fresh temporary folder ${TMP} holding the home folder
// (HOME, XDG_CONFIG_HOME, XDG_DATA_HOME below it), a card
// ${TMP}/card/DCIM/100TEST with four pictures, an empty card "${TMP}/my card"
// and an empty ${TMP}/pictures.
// The locale is English. In transcripts and logs ${TMP}, ${PROGRAM} (the
// program folder) and ${TODAY} (yymmdd) stand for their values. Comment
// lines in a transcript may give "# args: ...", "# expect-exit: n" and
// "# expect-stderr: text". QUILLFEN_UPDATE_LOGS=1 rewrites the *.log files
// from the actual runs (review them before committing).
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "app/frmQuillfen.h"
#include "script/Transcript.h"
#include "script/TranscriptRunner.h"
#include "support/HostProcess.h"
#include "support/TestProgram.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileAt;
using testing::WriteFileAt;

// ---- reading transcripts ----

// A Language menu of two items, Russian and English, unless said otherwise.
std::vector<Instruction> Parse(const std::string& text, int languages = 2) {
  std::istringstream in(text);
  return ParseTranscript(in, languages);
}

// The line number a bad transcript is refused at, or 0 when it is accepted.
int RefusedAt(const std::string& text, int languages = 2) {
  try {
    Parse(text, languages);
  } catch (const TranscriptError& error) {
    return error.line;
  }
  return 0;
}

TEST(TranscriptParseTest, EveryInstructionReadsAsWritten) {
  const auto ins = Parse(
      "# a comment\n"
      "\n"
      "call <invoke name=\"SetPath\"><arguments><string>a  b</string></arguments></invoke>\r\n"
      "  answer Retry\n"
      "folder /media/my card\n"
      "folder-cancel\n"
      "after setProgress 2 call <invoke name=\"CancelOperationX\"><arguments/></invoke>\n"
      "menu language 2\n"
      "menu testing\n"
      "menu test\n"
      "menu about\n"
      "   # an indented comment\n"
      "wait 7000\n"
      "close\n"
      "# comments may follow close\n");
  using Kind = Instruction::Kind;
  ASSERT_EQ(ins.size(), 11u);
  EXPECT_EQ(ins[0].kind, Kind::Call);
  EXPECT_EQ(ins[0].line, 3);
  EXPECT_EQ(ins[0].request, "<invoke name=\"SetPath\"><arguments><string>a  b</string></arguments></invoke>");
  EXPECT_EQ(ins[1].kind, Kind::Answer);
  EXPECT_EQ(ins[1].answer, BoxAnswer::Retry);
  EXPECT_EQ(ins[2].kind, Kind::Folder);
  EXPECT_EQ(ins[2].text, "/media/my card");
  EXPECT_EQ(ins[3].kind, Kind::FolderCancel);
  EXPECT_EQ(ins[4].kind, Kind::After);
  EXPECT_EQ(ins[4].text, "setProgress");
  EXPECT_EQ(ins[4].number, 2);
  EXPECT_EQ(ins[4].request, "<invoke name=\"CancelOperationX\"><arguments/></invoke>");
  EXPECT_EQ(ins[5].kind, Kind::MenuLanguage);
  EXPECT_EQ(ins[5].number, 2);
  EXPECT_EQ(ins[6].kind, Kind::MenuTesting);
  EXPECT_EQ(ins[7].kind, Kind::MenuTest);
  EXPECT_EQ(ins[8].kind, Kind::MenuAbout);
  EXPECT_EQ(ins[9].kind, Kind::Wait);
  EXPECT_EQ(ins[9].number, 7000);
  EXPECT_EQ(ins[9].line, 13);
  EXPECT_EQ(ins[10].kind, Kind::Close);
}

TEST(TranscriptParseTest, BadLinesAreRefusedWithTheirNumber) {
  EXPECT_EQ(RefusedAt("wait 1\nanswer Yes\n"), 2);
  EXPECT_EQ(RefusedAt("answer ok\n"), 1) << "answers are written as in the table";
  EXPECT_EQ(RefusedAt("wait\n"), 1);
  EXPECT_EQ(RefusedAt("wait -5\n"), 1);
  EXPECT_EQ(RefusedAt("wait 1.5\n"), 1);
  EXPECT_EQ(RefusedAt("wait 99999999999999999999999\n"), 1);
  EXPECT_EQ(RefusedAt("call\n"), 1);
  EXPECT_EQ(RefusedAt("call   \n"), 1);
  EXPECT_EQ(RefusedAt("folder\n"), 1);
  EXPECT_EQ(RefusedAt("folder-cancel now\n"), 1);
  EXPECT_EQ(RefusedAt("menu language 3\n"), 1);
  EXPECT_EQ(RefusedAt("menu language 13\n", 13), 0) << "every language file has its item";
  EXPECT_EQ(RefusedAt("menu language 14\n", 13), 1);
  EXPECT_EQ(RefusedAt("menu language 0\n"), 1);
  EXPECT_EQ(RefusedAt("menu language\n"), 1);
  EXPECT_EQ(RefusedAt("menu options\n"), 1);
  EXPECT_EQ(RefusedAt("menu about now\n"), 1);
  EXPECT_EQ(RefusedAt("after setValue x call <invoke/>\n"), 1);
  EXPECT_EQ(RefusedAt("after setValue 1 <invoke/>\n"), 1);
  EXPECT_EQ(RefusedAt("after setValue 1 call\n"), 1);
  EXPECT_EQ(RefusedAt("after\n"), 1);
  EXPECT_EQ(RefusedAt("Call <invoke/>\n"), 1) << "instruction words are lower case";
  EXPECT_EQ(RefusedAt("close\n\n# fine\nwait 1\n"), 4) << "nothing runs after close";
  EXPECT_EQ(RefusedAt("close please\n"), 1);
  EXPECT_EQ(RefusedAt("wait 0\nafter setValue 0 call <invoke/>\n"), 0);
}

// ---- running instructions ----

TEST(TranscriptRunnerTest, ProgramThatEndsItselfStopsTheTranscriptWithItsCode) {
  testing::TestProgram program;
  frmQuillfen form(program.Module().MainWindow());
  TranscriptRunner runner(program.window, program.movie, program.log);
  // A fatal error while the first request is handled ends the program.
  program.movie.SetRequestHandler([&](const std::string&) { program.window.EndProgram(3); });
  const auto instructions = Parse(
      "call <invoke name=\"LoadSettings\" returntype=\"xml\"><arguments/></invoke>\n"
      "menu test\n"
      "close\n");
  EXPECT_EQ(runner.Run(form, instructions), 3);
  EXPECT_EQ(program.log.Lines().back(), "exit");
  EXPECT_EQ(program.log.Matching("exit").size(), 1u);
  EXPECT_EQ(program.movie.CallCount("setProgress"), 0) << "nothing runs after the end";
}

TEST(TranscriptRunnerTest, QueuedRequestsArriveBeforeTheNextInstruction) {
  testing::TestProgram program;
  frmQuillfen form(program.Module().MainWindow());
  TranscriptRunner runner(program.window, program.movie, program.log);
  // Nothing inside "menu test" pumps events, so the request it triggers is
  // handled right after it, before the next instruction.
  const auto instructions = Parse(
      "after setProgress 1 call <invoke name=\"LoadSettings\" returntype=\"xml\"><arguments/></invoke>\n"
      "menu test\n"
      "menu testing\n");
  EXPECT_EQ(runner.Run(form, instructions), 0);
  const auto& lines = program.log.Lines();
  const auto progress = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
    return l.rfind("movie <invoke name=\"setProgress\"", 0) == 0;
  });
  ASSERT_NE(progress, lines.end());
  ASSERT_GE(lines.end() - progress, 3);
  EXPECT_EQ(progress[1], "reply ");
  EXPECT_EQ(progress[2].rfind("menu mnuTesting checked=1", 0), 0u) << progress[2];
  EXPECT_TRUE(program.window.TimerEnabled(Timer::Loader));
  EXPECT_FALSE(program.log.Contains("exit")) << "the end of a transcript is no close";
}

// ---- running the program ----

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::string TodayYymmdd() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buffer[16];
  std::strftime(buffer, sizeof buffer, "%y%m%d", &local);
  return buffer;
}

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// A private home, a card with four pictures, an empty card and an empty
// picture folder, and the program run there.
class HostFixture {
 public:
  HostFixture() {
    fs::create_directories(host_.Path("pictures"));
    fs::create_directories(host_.Path("my card"));
    for (int i = 1; i <= 4; ++i)
      WriteFileAt(host_.Path("card/DCIM/100TEST/IMG_000" + std::to_string(i) + ".JPG"), std::string(1000 * i, 'p'));
  }
  const std::string& root() const { return host_.root(); }
  static std::string ProgramFolder() { return fs::canonical(QUILLFEN_PROGRAM_DIR).string(); }

  std::string Expand(const std::string& text) const {
    return ReplaceAll(ReplaceAll(ReplaceAll(text, "${TMP}", root()), "${PROGRAM}", ProgramFolder()), "${TODAY}",
                      TodayYymmdd());
  }
  std::string Abstract(const std::string& text) const {
    return ReplaceAll(ReplaceAll(ReplaceAll(text, ProgramFolder(), "${PROGRAM}"), root(), "${TMP}"), TodayYymmdd(),
                      "${TODAY}");
  }

  // Runs quillfen-script with the given arguments (after the program path).
  RunResult Run(const std::vector<std::string>& args) const {
    const testing::HostRun run = host_.RunHost(args, 60, ProgramFolder());
    return {run.exitCode, run.Output(), run.errors};
  }

  // Runs a transcript file with its placeholders filled in.
  RunResult RunTranscript(const std::string& transcriptPath, const std::vector<std::string>& args = {}) const {
    const std::string copy = root() + "/" + fs::path(transcriptPath).filename().string();
    WriteFileAt(copy, Expand(ReadFileAt(transcriptPath)));
    std::vector<std::string> all{copy};
    for (const auto& a : args) all.push_back(Expand(a));
    return Run(all);
  }

 private:
  testing::HostSandbox host_;
};

const std::string kTranscriptDir = std::string(QUILLFEN_SOURCE_DIR) + "/tests/transcripts";

std::vector<std::string> TranscriptNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kTranscriptDir))
    if (entry.path().extension() == ".transcript") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The value of a "# name: value" comment line of the transcript.
std::optional<std::string> Directive(const std::string& transcript, const std::string& name) {
  std::istringstream in(transcript);
  std::string line;
  const std::string prefix = "# " + name + ":";
  while (std::getline(in, line))
    if (line.rfind(prefix, 0) == 0) {
      const auto value = line.substr(prefix.size());
      return value.substr(std::min(value.find_first_not_of(' '), value.size()));
    }
  return std::nullopt;
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

class TranscriptTest : public ::testing::TestWithParam<std::string> {};

TEST_P(TranscriptTest, EventLogMatchesTheExpectedLog) {
  const std::string base = kTranscriptDir + "/" + GetParam();
  const std::string transcript = ReadFileAt(base + ".transcript");
  HostFixture host;
  const RunResult run = host.RunTranscript(base + ".transcript", Words(Directive(transcript, "args").value_or("")));

  if (std::getenv("QUILLFEN_UPDATE_LOGS")) std::ofstream(base + ".log", std::ios::binary) << host.Abstract(run.out);
  ASSERT_TRUE(fs::exists(base + ".log")) << "no expected log; the run gave:\n" << host.Abstract(run.out);

  EXPECT_EQ(run.exitCode, std::stoi(Directive(transcript, "expect-exit").value_or("0"))) << run.err;
  if (auto err = Directive(transcript, "expect-stderr"))
    EXPECT_NE(run.err.find(*err), std::string::npos) << run.err;
  else
    EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, host.Expand(ReadFileAt(base + ".log")));
}

INSTANTIATE_TEST_SUITE_P(Transcripts, TranscriptTest, ::testing::ValuesIn(TranscriptNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(TranscriptHostTest, MissingTranscriptOrNoneGivenExitsWith2) {
  HostFixture host;
  const RunResult missing = host.Run({host.root() + "/nowhere.transcript"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_NE(missing.err.find("nowhere.transcript"), std::string::npos) << missing.err;

  const RunResult folder = host.Run({host.root()});
  EXPECT_EQ(folder.exitCode, 2);
  EXPECT_EQ(folder.out, "");

  const RunResult none = host.Run({});
  EXPECT_EQ(none.exitCode, 2);
  EXPECT_NE(none.err.find("usage"), std::string::npos) << none.err;
}

TEST(TranscriptHostTest, ChosenLanguageSurvivesARestartTestModeDoesNot) {
  HostFixture host;
  std::ofstream(host.root() + "/first.transcript")
      << "call <invoke name=\"LoadSettings\" returntype=\"xml\"><arguments/></invoke>\n"
         "wait 100\nmenu language 1\nmenu testing\nclose\n";
  const RunResult first = host.Run({host.root() + "/first.transcript"});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  ASSERT_NE(first.out.find("menu mnuTesting checked=1"), std::string::npos) << first.out;

  std::ofstream(host.root() + "/second.transcript") << "close\n";
  const RunResult second = host.Run({host.root() + "/second.transcript"});
  ASSERT_EQ(second.exitCode, 0) << second.err;
  EXPECT_NE(second.out.find("menu mnuLang(1) checked=1"), std::string::npos) << second.out;
  EXPECT_EQ(second.out.find("menu mnuLang(2) checked=1"), std::string::npos) << second.out;
  EXPECT_EQ(second.out.find("mnuTesting checked=1"), std::string::npos) << second.out;
}

TEST(TranscriptHostTest, DemoRunsToTheEnd) {
  HostFixture host;
  const RunResult demo = host.Run({std::string(QUILLFEN_SOURCE_DIR) + "/demo/demo.transcript"});
  EXPECT_EQ(demo.exitCode, 0) << demo.err;
  EXPECT_EQ(demo.err, "");
  EXPECT_NE(demo.out.find("\nmovie-visible\n"), std::string::npos) << demo.out;
  EXPECT_NE(demo.out.find("\nabout title="), std::string::npos) << demo.out;
  EXPECT_NE(demo.out.find("renameControls"), std::string::npos) << demo.out;
  EXPECT_EQ(demo.out.substr(demo.out.size() - 5), "exit\n");
  EXPECT_TRUE(fs::is_empty(host.root() + "/pictures"));
}

}  // namespace
}  // namespace quillfen
