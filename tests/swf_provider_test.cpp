#include "bridge/clsSWFProvider.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "localization/clsLanguageProvider.h"
#include "mover/clsFSMoving.h"
#include "support/MovieCalls.h"
#include "support/TempDir.h"
#include "support/TestProgram.h"

namespace quillfen {
namespace {

using testing::TempDir;
using testing::TestProgram;

std::string Invoke(const std::string& name, const std::string& arguments = "") {
  return "<invoke name=\"" + name + "\" returntype=\"xml\">" +
         (arguments.empty() ? "<arguments/>" : "<arguments>" + arguments + "</arguments>") + "</invoke>";
}
std::string Str(const std::string& text) { return "<string>" + text + "</string>"; }

// A language file of our own, so that the texts the bridge passes on are known.
void WriteLanguageFile(const TempDir& folder) {
  std::string text = "[Dialogs]\n";
  for (const std::string& key : clsLanguageProvider::DialogKeys()) text += key + "=Text of " + key + "\n";
  text += "[frmQuillfen]\ncmdMove=Move\ncmdPause=Pause\ncmbSource=From\n";
  folder.Write("English.ini", text);
}

class SwfProviderTest : public ::testing::Test {
 protected:
  TempDir programFolder;
  TestProgram program;
  GlobalModule* module = nullptr;
  clsSWFProvider* swf = nullptr;

  void SetUp() override {
    WriteLanguageFile(programFolder);
    program.system.programFolder = programFolder.path();
    module = &program.Module();
    module->objLanguageProvider().LoadLanguage();
    swf = &module->objSWFProvider();
    swf->Control(program.movie);
    program.movie.SetRequestHandler([this](const std::string& request) { swf->FlashCall(request); });
    program.log.Clear();
  }

  std::optional<std::string> Call(const std::string& request) { return program.movie.Request(request); }
  const std::vector<std::string>& Log() const { return program.log.Lines(); }
  clsFSMoving& Mover() { return module->objFSMoving(); }
};

TEST_F(SwfProviderTest, LoadSettingsStartsTheLoaderTimer) {
  EXPECT_FALSE(program.window.TimerEnabled(Timer::Loader));
  EXPECT_EQ(Call(Invoke("LoadSettings")), "");
  EXPECT_TRUE(program.window.TimerEnabled(Timer::Loader));
}

TEST_F(SwfProviderTest, AButtonCaptionARenameReplacedIsNotShownAgainToANewPage) {
  swf->SetCtlValue("cmdPause", Variant("Resume"), ControlKind::Caption);
  swf->SetProgress(Variant(40));
  Call(Invoke("GetFormStrings", Str("cmdPause")));
  swf->RenameComponents();  // the language's caption replaced "Resume"
  swf->RestoreAtNextLoad([] {});
  const std::size_t from = program.movie.Calls().size();
  Call(Invoke("LoadSettings"));
  testing::MoviePage expected;
  expected.progress = "40";
  EXPECT_EQ(testing::PageAfter(program.movie.Calls(), from), expected);
}

TEST_F(SwfProviderTest, GetFormStringsRepliesWithTheTranslatedComponents) {
  EXPECT_EQ(Call(Invoke("GetFormStrings", Str("cmdMove:cmbSource:cmdPause"))),
            "<array><property id=\"cmdMove\"><string>Move</string></property>"
            "<property id=\"cmbSource\"><string>From</string></property>"
            "<property id=\"cmdPause\"><string>Pause</string></property></array>");
  EXPECT_EQ(Call(Invoke("GetFormStrings", Str(""))), "<array/>");

  EXPECT_EQ(SplitComponentNames("a::b"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitComponentNames(":"), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(SplitComponentNames("cmdMove"), (std::vector<std::string>{"cmdMove"}));
  EXPECT_TRUE(SplitComponentNames("").empty());
}

TEST_F(SwfProviderTest, SavePresetStoresTheOptionAndRepliesOk) {
  EXPECT_EQ(Call(Invoke("SavePreset", Str("Subfolder") + Str("true"))), "Ok");
  EXPECT_EQ(program.settings.Get("Subfolder"), "True");
  EXPECT_EQ(Call(Invoke("SavePreset", Str("Subfolder") + Str("FALSE"))), "Ok");
  EXPECT_EQ(program.settings.Get("Subfolder"), "False");
  EXPECT_EQ(Call(Invoke("SavePreset", Str("AutoRename") + "<number>2.5</number>")), "Ok");
  EXPECT_EQ(program.settings.Get("AutoRename"), "True");
  EXPECT_EQ(Call(Invoke("SavePreset", Str("AutoRename") + "<number>0</number>")), "Ok");
  EXPECT_EQ(program.settings.Get("AutoRename"), "False");

  // While the settings are locked the reply is still "Ok", and nothing is stored.
  module->settingsLock().Hold();
  EXPECT_EQ(Call(Invoke("SavePreset", Str("Subfolder") + Str("True"))), "Ok");
  EXPECT_EQ(program.settings.Get("Subfolder"), "False");
  module->settingsLock().Release();

  // Values that are neither true/false nor a number are refused.
  for (const char* value : {"yes", "", "nan", "inf", "0x1", "1 2", "--1", "truex"}) {
    EXPECT_EQ(Call(Invoke("SavePreset", Str("Subfolder") + Str(value))), "") << value;
    EXPECT_EQ(program.settings.Get("Subfolder"), "False") << value;
  }
  EXPECT_EQ(Call(Invoke("SavePreset", Str("Subfolder"))), "");
  EXPECT_FALSE(program.log.Contains("box"));
}

TEST_F(SwfProviderTest, FolderDialogsSetSourceOrTargetAndReplyWithThePath) {
  const std::string folder = programFolder.path();
  program.window.QueueFolder("/media/card/DCIM");
  EXPECT_EQ(Call(Invoke("BrowseForSourceFolder", Str(folder))), "<string>/media/card/DCIM</string>\r\n");
  EXPECT_EQ(Mover().SourceValue(), "/media/card/DCIM");
  EXPECT_TRUE(program.log.Contains("folder-dialog title=Text of browse_source_dialog initial=" + folder + " -> /media/card/DCIM"));

  program.window.QueueFolder("/home/u/Фото & <мои>");
  EXPECT_EQ(Call(Invoke("BrowseForTargetFolder", Str(folder))),
            "<string>/home/u/Фото &amp; &lt;мои&gt;</string>\r\n");
  EXPECT_EQ(Mover().TargetValue(), "/home/u/Фото & <мои>");
  EXPECT_TRUE(program.log.Contains("folder-dialog title=Text of browse_target_dialog initial=" + folder + " ->"));

  // A cancelled dialog changes nothing and replies with the empty text.
  program.log.Clear();
  program.window.QueueFolder(std::nullopt);
  EXPECT_EQ(Call(Invoke("BrowseForSourceFolder", Str("/x"))), "");
  program.window.QueueFolder(std::nullopt);
  EXPECT_EQ(Call(Invoke("BrowseForTargetFolder", Str("/y"))), "");
  EXPECT_EQ(Mover().SourceValue(), "/media/card/DCIM");
  EXPECT_EQ(Mover().TargetValue(), "/home/u/Фото & <мои>");
  EXPECT_TRUE(program.log.Matching("movie").empty());
}

// A path that is no folder (a first start's "(not selected)", a card taken
// out) opens the dialog where cards are mounted, or in the picture folder.
TEST_F(SwfProviderTest, FolderDialogsStartWhereCardsOrPicturesAreWhenThePathIsNoFolder) {
  for (const char* path : {"", "(not selected)", "/no/such/card"}) {
    program.log.Clear();
    Call(Invoke("BrowseForSourceFolder", Str(path)));
    Call(Invoke("BrowseForTargetFolder", Str(path)));
    EXPECT_EQ(program.log.Matching("folder-dialog"),
              (std::vector<std::string>{"folder-dialog title=Text of browse_source_dialog initial=/media/user -> cancel",
                                        "folder-dialog title=Text of browse_target_dialog initial=/home/user/Pictures -> cancel"}))
        << path;
  }
}

TEST_F(SwfProviderTest, SetPathSetsSourceOrTargetAndRefusesOtherNames) {
  EXPECT_EQ(Call(Invoke("SetPath", Str("Source") + Str("/media/card"))), "");
  EXPECT_EQ(Call(Invoke("SetPath", Str("Target") + Str("/home/u/Pictures"))), "");
  EXPECT_EQ(Mover().SourceValue(), "/media/card");
  EXPECT_EQ(Mover().TargetValue(), "/home/u/Pictures");

  // A single argument reads the path one place beyond: the empty text.
  EXPECT_EQ(Call(Invoke("SetPath", Str("Source"))), "");
  EXPECT_EQ(Mover().SourceValue(), "");

  program.log.Clear();
  EXPECT_EQ(Call(Invoke("SetPath", Str("source") + Str("/x"))), "");
  EXPECT_EQ(Call(Invoke("SetPath")), "");
  EXPECT_EQ(program.log.Matching("box"),
            (std::vector<std::string>{
                "box information OK title=Ошибка вызова процедуры text=Неизвестная команда source -> OK",
                "box information OK title=Ошибка вызова процедуры text=Неизвестная команда  -> OK"}));
  EXPECT_EQ(Mover().SourceValue(), "");
  EXPECT_EQ(Mover().TargetValue(), "/home/u/Pictures");
}

// A Cancel while no move runs belongs to no move, and is dropped.
TEST_F(SwfProviderTest, PauseAndCancelFlipTheMoversFlags) {
  EXPECT_EQ(Call(Invoke("PauseOperationX")), "");
  EXPECT_TRUE(Mover().Paused());
  EXPECT_EQ(Call(Invoke("PauseOperationX")), "");
  EXPECT_FALSE(Mover().Paused());
  EXPECT_EQ(Call(Invoke("CancelOperationX")), "");
  EXPECT_FALSE(Mover().CancelRequested());
}

TEST_F(SwfProviderTest, StartOperationRunsTheMoveAndRepliesWhenItHasEnded) {
  TempDir card;
  TempDir target;
  card.Write("DCIM/100CAM/IMG_0001.JPG", "picture one");
  card.Write("DCIM/100CAM/IMG_0002.JPG", "picture two");
  Mover().Target(target.path());
  Mover().Source(card.path());
  program.window.QueueAnswer(BoxAnswer::OK);  // the confirmation
  // A request sent while the move runs is answered before the move ends; the
  // option it reports is not stored while the move holds the settings.
  program.movie.After("setProgress", 2, Invoke("SavePreset", Str("Subfolder") + Str("true")));
  program.log.Clear();

  EXPECT_EQ(Call(Invoke("StartOperationX")), "");
  const auto& lines = Log();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "reply ");
  const auto inner = std::find(lines.begin(), lines.end(), "reply Ok");
  EXPECT_NE(inner, lines.end()) << "the request sent during the move got no reply";
  EXPECT_FALSE(program.settings.Has("Subfolder")) << "options are not stored during a move";
  EXPECT_FALSE(Mover().Running());
}

TEST_F(SwfProviderTest, ExitHasNoReplyAndOtherNamesAreUnknownCommands) {
  EXPECT_EQ(Call(Invoke("exit")), std::nullopt);
  EXPECT_EQ(Log(), (std::vector<std::string>{"no-reply"}));

  program.log.Clear();
  EXPECT_EQ(Call(Invoke("Exit")), "");
  EXPECT_EQ(Call(Invoke("loadsettings")), "");
  EXPECT_EQ(Call(Invoke("Фото")), "");
  EXPECT_EQ(Log(), (std::vector<std::string>{"box information OK title=Quillfen text=Неизвестная команда Exit -> OK",
                                             "reply ",
                                             "box information OK title=Quillfen text=Неизвестная команда loadsettings -> OK",
                                             "reply ",
                                             "box information OK title=Quillfen text=Неизвестная команда Фото -> OK",
                                             "reply "}));
  EXPECT_FALSE(program.window.TimerEnabled(Timer::Loader));
}

TEST_F(SwfProviderTest, ARequestArrivingDuringAnotherIsAnsweredFirstWithItsOwnState) {
  // The unknown command's box is modal: the movie may send a request meanwhile.
  bool sent = false;
  program.window.SetBoxObserver([&](const std::string&) {
    if (sent) return;
    sent = true;
    EXPECT_EQ(Call(Invoke("SavePreset", Str("Subfolder") + Str("1"))), "Ok");
  });
  EXPECT_EQ(Call(Invoke("Unknown", Str("a") + Str("b") + Str("c"))), "");
  EXPECT_EQ(Log(), (std::vector<std::string>{"reply Ok",
                                             "box information OK title=Quillfen text=Неизвестная команда Unknown -> OK",
                                             "reply "}));
  EXPECT_EQ(program.settings.Get("Subfolder"), "True");
}

TEST_F(SwfProviderTest, MalformedRequestsAreRefusedWithoutAction) {
  const std::string refused[] = {
      "",
      "not xml",
      "<invoke name=\"LoadSettings\"><arguments>",
      "<other name=\"LoadSettings\"><arguments/></other>",
      "<invoke><arguments/></invoke>",
      "<invoke name=\"LoadSettings\"/>",
      "<!DOCTYPE invoke [<!ENTITY a \"LoadSettings\">]><invoke name=\"&a;\"><arguments/></invoke>",
      "<!DOCTYPE invoke [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" +
          Invoke("SetPath", Str("Source") + Str("&x;")),
      Invoke("SetPath", Str("Source") + Str("&x;")),
      Invoke("SetPath", Str("Source") + Str("\xFF\xFE")),
      Invoke("exi\xC3"),
  };
  for (const std::string& request : refused) EXPECT_EQ(Call(request), "") << request;
  EXPECT_EQ(Log(), std::vector<std::string>(std::size(refused), "reply "));
  EXPECT_FALSE(program.window.TimerEnabled(Timer::Loader));
  EXPECT_EQ(Mover().SourceValue(), "");
}

TEST_F(SwfProviderTest, ALongArgumentIsHandledLikeAnyOtherAndAHugeRequestIsRefused) {
  const std::string longPath(32 * 1024, 'p');
  EXPECT_EQ(Call(Invoke("SetPath", Str("Target") + Str(longPath))), "");
  EXPECT_EQ(Mover().TargetValue().size(), longPath.size());
  const std::string huge(10 * 1024 * 1024, 'p');
  EXPECT_EQ(Call(Invoke("SetPath", Str("Target") + Str(huge))), "");
  EXPECT_EQ(Mover().TargetValue().size(), longPath.size());
  EXPECT_EQ(Call(Invoke("PauseOperationX", Str(huge))), "");
}

// A movie host that records the calls and lets a test act inside one.
class RecordingMovieHost : public MovieHost {
 public:
  std::vector<std::string> loaded;
  std::vector<std::string> calls;
  std::vector<std::string> replies;
  std::function<void(const std::string&)> duringCall;

  void LoadMovie(const std::string& path) override { loaded.push_back(path); }
  std::string CallFunction(const std::string& request) override {
    calls.push_back(request);
    if (duringCall) duringCall(request);
    // The outer request text must still be whole after the nested call.
    calls.push_back("after: " + request);
    return "ignored";
  }
  void SetReturnValue(const std::string& reply) override { replies.push_back(reply); }
  void SetRequestHandler(RequestHandler) override {}
  void SetPageLostHandler(PageLostHandler) override {}
};

TEST_F(SwfProviderTest, CallsIntoTheMovieAreExact) {
  RecordingMovieHost host;
  swf->Control(host);
  swf->SetProgress(Variant(42.0));
  swf->SetProgress(Variant(0));
  swf->SetCtlValue("cmbSource", Variant("/media/card"), ControlKind::Text);
  swf->SetCtlValue("chkSubfolder", Variant(true), ControlKind::CheckBox);
  swf->SwitchControls(false);
  swf->SwitchControls(true);
  const std::string v = "<invoke name=\"setValue\" returntype=\"xml\"><arguments>";
  const std::string p = "<invoke name=\"setProgress\" returntype=\"xml\"><arguments>";
  const std::string s = "<invoke name=\"SwitchControls\" returntype=\"xml\"><arguments>";
  const std::string end = "</arguments></invoke>";
  EXPECT_EQ(host.calls, (std::vector<std::string>{
                            p + "<number>42</number>" + end, "after: " + p + "<number>42</number>" + end,
                            p + "<number>0</number>" + end, "after: " + p + "<number>0</number>" + end,
                            v + "<string>cmbSource</string><string>/media/card</string><number>1</number>" + end,
                            "after: " + v + "<string>cmbSource</string><string>/media/card</string><number>1</number>" + end,
                            v + "<string>chkSubfolder</string><true/><number>4</number>" + end,
                            "after: " + v + "<string>chkSubfolder</string><true/><number>4</number>" + end,
                            s + "<false/>" + end, "after: " + s + "<false/>" + end,
                            s + "<true/>" + end, "after: " + s + "<true/>" + end}));
}

TEST_F(SwfProviderTest, RenameComponentsSendsTheTextsOfTheLastAskedComponents) {
  RecordingMovieHost host;
  swf->Control(host);
  swf->RenameComponents();  // the movie has not asked for any texts yet
  EXPECT_TRUE(host.calls.empty());

  swf->FlashCall(Invoke("GetFormStrings", Str("cmdPause:cmdMove")));
  swf->RenameComponents();
  ASSERT_EQ(host.calls.size(), 2u);
  EXPECT_EQ(host.calls[0],
            "<invoke name=\"renameControls\" returntype=\"xml\"><arguments><array>"
            "<property id=\"cmdPause\"><string>Pause</string></property>"
            "<property id=\"cmdMove\"><string>Move</string></property></array></arguments></invoke>");
}

TEST_F(SwfProviderTest, ANestedCallReusingABuilderLeavesTheOuterCallWhole) {
  RecordingMovieHost host;
  swf->Control(host);
  int depth = 0;
  host.duringCall = [&](const std::string&) {
    if (depth++ > 0) return;
    swf->SetCtlValue("infoExtra", Variant("inner"), ControlKind::Text);
    swf->SetProgress(Variant(7));
  };
  swf->SetCtlValue("infoOperation", Variant("outer"), ControlKind::Text);
  const std::string outer =
      "<invoke name=\"setValue\" returntype=\"xml\"><arguments><string>infoOperation</string>"
      "<string>outer</string><number>1</number></arguments></invoke>";
  const std::string inner =
      "<invoke name=\"setValue\" returntype=\"xml\"><arguments><string>infoExtra</string>"
      "<string>inner</string><number>1</number></arguments></invoke>";
  const std::string progress =
      "<invoke name=\"setProgress\" returntype=\"xml\"><arguments><number>7</number></arguments></invoke>";
  EXPECT_EQ(host.calls, (std::vector<std::string>{outer, inner, "after: " + inner, progress, "after: " + progress,
                                                   "after: " + outer}));

  // And the builder is fine for the next call.
  host.calls.clear();
  swf->SetCtlValue("infoTo", Variant(""), ControlKind::Text);
  EXPECT_EQ(host.calls.front(),
            "<invoke name=\"setValue\" returntype=\"xml\"><arguments><string>infoTo</string><string/>"
            "<number>1</number></arguments></invoke>");
}

TEST_F(SwfProviderTest, AFailingCommandStillAnswersTheMovieAndPassesTheErrorOn) {
  RecordingMovieHost host;
  swf->Control(host);
  program.window.SetBoxObserver([](const std::string&) { throw std::runtime_error("display lost"); });
  EXPECT_THROW(swf->FlashCall(Invoke("Nonsense")), std::runtime_error);
  EXPECT_EQ(host.replies, (std::vector<std::string>{""}));
}

TEST_F(SwfProviderTest, AValueTheEncoderCannotWriteEndsTheProgramBeforeAnyCallLeaves) {
  RecordingMovieHost host;
  swf->Control(host);
  const struct {
    std::function<void()> send;
    std::string box;
  } cases[] = {
      {[&] { swf->SetProgress(Variant()); }, "box none OK title=Quillfen text=Неизвестный тип данных: 0 -> OK"},
      {[&] { swf->SetCtlValue("infoExtra", UnsupportedValue{7}, ControlKind::Text); },
       "box none OK title=Quillfen text=Неизвестный тип данных: 7 -> OK"},
      {[&] { swf->SetCtlValue("cmbSource", Collection{{"a", UnsupportedValue{10}}}, ControlKind::Text); },
       "box none OK title=Quillfen text=Неизвестный тип данных: 10 -> OK"},
  };
  for (const auto& failing : cases) {
    program.log.Clear();
    try {
      failing.send();
      ADD_FAILURE() << "the program should have ended: " << failing.box;
    } catch (const ProgramEnded& ended) {
      EXPECT_EQ(ended.exitCode, 1);
    }
    EXPECT_EQ(Log(), std::vector<std::string>{failing.box});
  }
  EXPECT_TRUE(host.calls.empty());
  // The long-lived calls are whole again for the next value.
  swf->SetProgress(Variant(5));
  EXPECT_EQ(host.calls.front(),
            "<invoke name=\"setProgress\" returntype=\"xml\"><arguments><number>5</number></arguments></invoke>");
}

TEST(SwfProviderMovieTest, TheMovieIsLoadedFromBelowTheProgramFolder) {
  TestProgram program;
  program.system.programFolder = "/";
  GlobalModule& module = program.Module();
  module.objSWFProvider().Control(program.movie);
  EXPECT_EQ(program.movie.MoviePath(), "/Flex/bin/Quillfen.html");

  TestProgram installed;
  installed.system.programFolder = "/usr/lib/quillfen";
  installed.Module().objSWFProvider().Control(installed.movie);
  EXPECT_EQ(installed.log.Lines(), (std::vector<std::string>{"load-movie /usr/lib/quillfen/Flex/bin/Quillfen.html"}));
}

}  // namespace
}  // namespace quillfen
