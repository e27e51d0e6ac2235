// A copy of the program folder whose English.ini is replaced by a very long
// file or by binary garbage: the program starts, says what is wrong, and goes
// on answering the movie.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "support/HostProcess.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using testing::HostRun;
using testing::HostSandbox;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The headless host, the language files and the movie, as installed.
std::string CopyProgramFolder(const HostSandbox& sandbox) {
  const fs::path from = QUILLFEN_PROGRAM_DIR;
  const fs::path to = sandbox.Path("program");
  fs::create_directories(to);
  for (const char* item : {"quillfen-script", "English.ini", "Russian.ini", "Flex"})
    fs::copy(from / item, to / item, fs::copy_options::recursive);
  return to.string();
}

const std::string kTranscript =
    "call <invoke name=\"LoadSettings\" returntype=\"xml\"><arguments/></invoke>\n"
    "wait 100\n"
    "call <invoke name=\"GetFormStrings\" returntype=\"xml\"><arguments><string>cmdMove:lblSource</string>"
    "</arguments></invoke>\n"
    "call <invoke name=\"SetPath\" returntype=\"xml\"><arguments><string>Target</string><string>/no/such/folder"
    "</string></arguments></invoke>\n"
    "call <invoke name=\"StartOperationX\" returntype=\"xml\"><arguments/></invoke>\n"
    "call <invoke name=\"SetPath\" returntype=\"xml\"><arguments><string>Source</string><string>/still/answered"
    "</string></arguments></invoke>\n"
    "close\n";

void ExpectStillAnswering(const HostRun& run) {
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_TRUE(run.Has("movie <invoke name=\"setValue\" returntype=\"xml\"><arguments><string>cmbSource</string>"
                      "<string>/still/answered</string>"))
      << run.Log();
  ASSERT_GE(run.lines.size(), 2u);
  EXPECT_EQ(run.lines.back(), "exit");
  EXPECT_LT(testing::CheckedPeakKilobytes(run.peakKilobytes), 200 * 1024);
}

TEST(BadLanguageFileTest, AHundredThousandLinesBeforeTheTextsStillLoad) {
  HostSandbox sandbox;
  const std::string program = CopyProgramFolder(sandbox);
  const std::string english = ReadBytes(program + "/English.ini");
  std::string padded = "[Padding]\n";
  for (int i = 0; i < 100000; ++i) padded += "key" + std::to_string(i) + "=some text that nobody reads " + std::to_string(i) + "\n";
  HostSandbox::WriteFile(program + "/English.ini", padded + english);

  const HostRun run = sandbox.Run(kTranscript, {}, 60, program);
  ExpectStillAnswering(run);
  EXPECT_FALSE(run.Has("box information OK title=Error in ini file")) << run.Log();
  EXPECT_TRUE(run.Has("reply <array><property id=\"cmdMove\"><string>Move</string></property>"
                      "<property id=\"cmdMove:tooltip\"><string>Move all pictures from the card to the destination "
                      "folder</string></property><property id=\"lblSource\"><string>Pictures from:</string></property></array>"))
      << run.Log();
  EXPECT_TRUE(run.Has("box information OK title=Quillfen text=The destination folder does not exist."));
}

TEST(BadLanguageFileTest, BinaryGarbageIsReportedKeyByKeyAndTheProgramGoesOn) {
  HostSandbox sandbox;
  const std::string program = CopyProgramFolder(sandbox);
  std::mt19937 random(3);
  std::string garbage(256 * 1024, '\0');
  for (char& c : garbage) c = static_cast<char>(random() & 0xFF);
  // Pieces of the format among the garbage, so that the reader meets
  // half-lines, stray sections and NUL bytes inside keys and values.
  static constexpr char kPieces[] = "\n[Dialogs]\npause=\x00\xff\n[frm\x00Quillfen]\ncmdMove=\xfe\xfe\n";
  garbage.insert(1000, kPieces, sizeof kPieces - 1);
  HostSandbox::WriteFile(program + "/English.ini", garbage);

  const HostRun run = sandbox.Run(kTranscript, {}, 60, program);
  ExpectStillAnswering(run);
  EXPECT_TRUE(run.Has("box information OK title=Error in ini file text=Dialog string targetDirAbsent not found."))
      << run.Log();
  EXPECT_TRUE(run.Has("box information OK title=Quillfen text=<value for \"targetDirAbsent\" is absent>"))
      << run.Log();
  // Whatever the garbage held, what reaches the movie is text it can read.
  for (const std::string& line : run.Matching("reply ")) EXPECT_EQ(line.find('\0'), std::string::npos);
}

TEST(BadLanguageFileTest, ALanguageFileThatIsAFolderOrAPipeIsNoLanguage) {
  HostSandbox sandbox;
  const std::string program = CopyProgramFolder(sandbox);
  fs::remove(program + "/English.ini");
  fs::create_directory(program + "/English.ini");
  HostRun run = sandbox.Run(kTranscript, {}, 60, program);
  ExpectStillAnswering(run);
  EXPECT_TRUE(run.Has("box information OK title=Error loading language file text=Can't find language file: English.ini"))
      << run.Log();

  fs::remove(program + "/English.ini");
  ASSERT_EQ(mkfifo((program + "/English.ini").c_str(), 0600), 0);
  run = sandbox.Run(kTranscript, {}, 60, program);
  ExpectStillAnswering(run);
}

}  // namespace
}  // namespace quillfen
