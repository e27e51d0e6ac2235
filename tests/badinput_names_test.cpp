// Folder and picture names with line breaks, quotes, placeholders, leading
// dashes and bytes that are no UTF-8, moved end to end by the real headless
// host: every picture arrives byte for byte, and the boxes and status lines
// show the names as they are.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <random>
#include <sstream>

#include "support/HostProcess.h"

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using testing::HostRun;
using testing::HostSandbox;

// Picture names a camera never writes but a card may hold after a computer
// has touched it.
const std::vector<std::string> kOddPictureNames = {
    "line\nbreak.jpg",       "quote\"d 'single'.JPG", "%1 %2 percent.jpg", "-rf.jpg",
    "--help.jpg",            "bad\xff\xfe bytes.jpg", "back\\slash.Jpg",   "amp&lt;<x>.jpg",
    " leading space.jpg",    "tab\there.jpg",         "carriage\rreturn.jpg"};

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Random content, so that a misplaced byte or a swapped picture shows.
std::string PictureBytes(std::mt19937& random, std::size_t size) {
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

// A text of the English language file, as the program shows it.
std::string EnglishText(const std::string& key) {
  std::ifstream in(std::string(QUILLFEN_PROGRAM_DIR) + "/English.ini", std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(key + "=", 0) != 0) continue;
    std::string text = line.substr(key.size() + 1), out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
        out += "\r\n";
        ++i;
      } else {
        out += text[i];
      }
    }
    return out;
  }
  ADD_FAILURE() << "no text " << key << " in English.ini";
  return {};
}

std::string Fill(std::string text, const std::string& placeholder, const std::string& value) {
  const std::size_t at = text.find(placeholder);
  EXPECT_NE(at, std::string::npos);
  if (at != std::string::npos) text.replace(at, placeholder.size(), value);
  return text;
}

// As the event log writes a text.
std::string LogText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += "\\\\";
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

// As the host writes a text into a call of the movie.
std::string XmlText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '\r') out += "&#13;";
    else out += c;
  }
  return out;
}

// As a request of the movie carries a text.
std::string RequestText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '\n') out += "&#10;";
    else if (c == '\r') out += "&#13;";
    else out += c;
  }
  return out;
}

std::string SetPath(const std::string& which, const std::string& path) {
  return "call <invoke name=\"SetPath\" returntype=\"xml\"><arguments><string>" + which + "</string><string>" +
         RequestText(path) + "</string></arguments></invoke>\n";
}

const std::string kStartUp =
    "call <invoke name=\"LoadSettings\" returntype=\"xml\"><arguments/></invoke>\n"
    "wait 100\n";
const std::string kStartMove =
    "answer OK\n"
    "call <invoke name=\"StartOperationX\" returntype=\"xml\"><arguments/></invoke>\n";

struct Card {
  std::map<std::string, std::string> pictures;  // name -> bytes
};

// Pictures in two subfolders of DCIM; every picture name is used once.
Card MakeCard(const std::string& dcim, std::mt19937& random) {
  Card card;
  const std::vector<std::string> folders = {"100 -%1 %2\n\xff \"x\"", "-dash"};
  for (std::size_t i = 0; i < kOddPictureNames.size(); ++i) {
    const std::string bytes = PictureBytes(random, 1000 + 137 * i);
    HostSandbox::WriteFile(dcim + "/" + folders[i % 2] + "/" + kOddPictureNames[i], bytes);
    card.pictures[kOddPictureNames[i]] = bytes;
  }
  return card;
}

TEST(OddNamesTest, PicturesAndFoldersWithOddNamesArriveWholeUnderTheirNames) {
  HostSandbox sandbox;
  std::mt19937 random(7);
  // The card comes as the command-line argument, as the desktop passes it;
  // the target is typed into the movie.
  const std::string cardFolder = sandbox.Path("card -%1 \"q\" 'x' &<>\n\xff\xfe end");
  const std::string target = sandbox.Path("--target %1 %2 \"q\" &<>\nline");
  fs::create_directories(target);
  const Card card = MakeCard(cardFolder + "/DCIM", random);
  HostSandbox::WriteFile(cardFolder + "/DCIM/-dash/note\n.txt", "not a picture");
  sandbox.Settings("AutoRename=false\nSubfolder=false\nAutomoving=false\n");

  const HostRun run = sandbox.Run(kStartUp + SetPath("Target", target) + kStartMove, {cardFolder});
  ASSERT_FALSE(run.timedOut);
  ASSERT_EQ(run.exitCode, 0) << run.errors;

  for (const auto& [name, bytes] : card.pictures) {
    SCOPED_TRACE(LogText(name));
    EXPECT_EQ(ReadBytes(target + "/" + name), bytes);
    EXPECT_TRUE(run.Has("movie <invoke name=\"setValue\" returntype=\"xml\"><arguments><string>infoOperation</string>"
                        "<string>" + LogText(XmlText(EnglishText("moving_file") + " \"" + name + "\"...")) + "</string>"))
        << run.Log();
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()),
            static_cast<long>(card.pictures.size()));
  // The emptied folder is removed; the one with a file that is no picture stays.
  EXPECT_FALSE(fs::exists(cardFolder + "/DCIM/100 -%1 %2\n\xff \"x\""));
  EXPECT_EQ(ReadBytes(cardFolder + "/DCIM/-dash/note\n.txt"), "not a picture");

  const std::string question =
      Fill(Fill(EnglishText("operation_alert"), "%1", cardFolder), "%2", target);
  EXPECT_TRUE(run.Has("box question OKCancel title=" + EnglishText("files_moving") + " text=" + LogText(question) +
                      " -> OK"))
      << run.Log();
  EXPECT_TRUE(run.Has("open-folder " + LogText(cardFolder + "/DCIM")));
  // The file that is no picture stays, and the final message says so.
  EXPECT_TRUE(run.Has("box information OK title=Quillfen text=" +
                      LogText(Fill(EnglishText("files_moved_not_empty"), "%1", "1 other file"))));
}

TEST(OddNamesTest, NumberedIntoAFolderWhoseNameIsNoText) {
  HostSandbox sandbox;
  std::mt19937 random(11);
  const std::string cardFolder = sandbox.Path("-card\n%2 %1");
  const std::string target = sandbox.Path("target \xff\xfe %1");
  fs::create_directories(target);
  const Card card = MakeCard(cardFolder + "/DCIM", random);
  sandbox.Settings("AutoRename=true\nSubfolder=false\nAutomoving=false\n");

  // A folder name that is no UTF-8 cannot be typed; it comes from the
  // folder dialog.
  const HostRun run = sandbox.Run(kStartUp + "folder " + target +
                                  "\ncall <invoke name=\"BrowseForTargetFolder\" returntype=\"xml\"><arguments>"
                                  "<string>/</string></arguments></invoke>\n" +
                                  SetPath("Source", cardFolder) + kStartMove);
  ASSERT_FALSE(run.timedOut);
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_TRUE(run.Has("reply <string>" + target + "</string>\\r\\n")) << run.Log();

  std::multiset<std::string> expected, arrived;
  for (const auto& [name, bytes] : card.pictures) expected.insert(bytes);
  for (std::size_t n = 1; n <= card.pictures.size(); ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "%04zu.JPG", n);
    arrived.insert(ReadBytes(target + "/" + name));
  }
  EXPECT_EQ(arrived, expected);
  EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()),
            static_cast<long>(card.pictures.size()));
  EXPECT_FALSE(fs::exists(cardFolder + "/DCIM/-dash"));
  EXPECT_TRUE(run.Has("box information OK title=Quillfen text=" + LogText(EnglishText("files_moved"))));
}

TEST(OddNamesTest, AClashNamesTheOddTargetPictureIntactAndMovesNothing) {
  HostSandbox sandbox;
  std::mt19937 random(13);
  const std::string cardFolder = sandbox.Path("card");
  const std::string target = sandbox.Path("target %1 %2\n-x");
  const Card card = MakeCard(cardFolder + "/DCIM", random);
  const std::string clashing = target + "/%1 %2 percent.jpg";
  HostSandbox::WriteFile(clashing, "already there");
  sandbox.Settings("AutoRename=false\nSubfolder=false\nAutomoving=false\n");

  const HostRun run = sandbox.Run(kStartUp + SetPath("Target", target) + kStartMove, {cardFolder});
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_TRUE(run.Has("box information OK title=" + EnglishText("same_names_caption") + " text=" +
                      LogText(Fill(EnglishText("same_names"), "%1", clashing)) + " -> OK"))
      << run.Log();
  EXPECT_EQ(ReadBytes(clashing), "already there");
  std::size_t onCard = 0;
  for (const auto& entry : fs::recursive_directory_iterator(cardFolder + "/DCIM"))
    if (entry.is_regular_file()) {
      EXPECT_EQ(ReadBytes(entry.path()), card.pictures.at(entry.path().filename().string()));
      ++onCard;
    }
  EXPECT_EQ(onCard, card.pictures.size());
}

}  // namespace
}  // namespace quillfen
