// The movie page in WebKitGTK against a recording stand-in for the program:
// the exact requests it sends, the program's calls it accepts, hostile texts
// shown as data, and a layout that fits the window in both languages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "HostCalls.h"
#include "LanguageFile.h"
#include "MoviePage.h"

namespace quillfen::movietest {
namespace {

const std::string kComponents =
    "cmbSource:cmbTarget:cmdBrowseSource:cmdBrowseTarget:lblSource:lblTarget:chkAutomoving:chkAutorun:"
    "chkAutoRename:chkSubfolder:cmdMove:cmdPause:cmdCancel:progress:lblBackup:lang:dir";

const Captions kEnglish = {
    {"cmbSource", "Card or folder to empty"}, {"cmbTarget", "Folder for the pictures"},
    {"lblSource", "From:"}, {"lblTarget", "To:"},
    {"cmdBrowseSource", "Browse..."}, {"cmdBrowseTarget", "Browse..."},
    {"chkAutomoving", "Move at once when a card is inserted"},
    {"chkAutorun", "Offer Quillfen for inserted cards"},
    {"chkAutoRename", "Number the pictures anew"},
    {"chkSubfolder", "Into a folder of the day (261206)"},
    {"cmdMove", "Move"}, {"cmdPause", "Pause"}, {"cmdCancel", "Cancel"},
    {"progress", "How far the move is"}, {"cmdMove:tooltip", "Moves every picture"},
    {"cmbSource:tooltip", "Where the pictures are"}, {"chkAutorun:tooltip", "Offered by the desktop"},
};

// Longer than any wording the language files are likely to hold.
const Captions kLongRussian = {
    {"cmbSource", "Карта памяти или папка со снимками"}, {"cmbTarget", "Папка для снимков"},
    {"lblSource", "Откуда переносить:"}, {"lblTarget", "Куда переносить:"},
    {"cmdBrowseSource", "Выбрать папку..."}, {"cmdBrowseTarget", "Выбрать папку..."},
    {"chkAutomoving", "Сразу переносить снимки при подключении карты памяти"},
    {"chkAutorun", "Предлагать Quillfen при подключении карты памяти"},
    {"chkAutoRename", "Давать снимкам новые номера по порядку"},
    {"chkSubfolder", "Складывать снимки в отдельную папку дня 261206"},
    {"cmdMove", "Переместить"}, {"cmdPause", "Приостановить"}, {"cmdCancel", "Отменить"},
};

// Small functions the scripts below share, and a wrapper so that each script
// has its own scope.
const char* kHelpers = R"JS(
  const el = (id) => document.getElementById(id);
  const typeInto = (id, text) => {
    const box = el(id); box.focus(); box.value = text;
    box.dispatchEvent(new Event("input", { bubbles: true }));
  };
  const press = (id, key) => el(id).dispatchEvent(new KeyboardEvent("keydown", { key, bubbles: true, cancelable: true }));
  const caption = (name) => (el(name + "Caption") || el(name)).textContent;
  const states = (ids) => ids.map((id) => id + "=" + (el(id).disabled ? "off" : "on")).join(" ");
)JS";

// Everything that is cut, spills over, leaves the window or overlaps another
// control; empty when the layout is sound (the status lines may cut what
// they show).
std::string LayoutProblems() {
  std::ifstream file(QUILLFEN_MOVIE_TESTS "/layout-problems.js");
  std::stringstream check;
  check << file.rdbuf();
  return "return (" + check.str() + ")(false);";
}

class MovieTest : public ::testing::Test {
 protected:
  // A freshly loaded page that has asked for its captions and its settings.
  void Open(const Captions& captions = kEnglish) {
    page_ = std::make_unique<MoviePage>(QUILLFEN_MOVIE_PAGE);
    page_->Answer("GetFormStrings", Array(captions));
    ASSERT_TRUE(page_->Load());
    ASSERT_TRUE(page_->WaitForRequests(2));
  }
  void SetUp() override { Open(); }

  std::string Js(const std::string& body) { return page_->Run("(() => {" + std::string(kHelpers) + body + "})()"); }
  void Click(const std::string& id) { Js("el('" + id + "').click();"); }
  // The requests that arrive within a short while after `from`.
  std::vector<std::string> RequestsAfter(std::size_t from, std::size_t expected) {
    page_->WaitForRequests(from + expected, 2000);
    page_->Settle(100);
    return page_->RequestsSince(from);
  }
  std::size_t Sent() const { return page_->Requests().size(); }

  std::unique_ptr<MoviePage> page_;
};

using Requests = std::vector<std::string>;

TEST_F(MovieTest, AsksForItsCaptionsThenForItsSettingsAndShowsTheCaptions) {
  EXPECT_EQ(page_->Requests(), (Requests{Invoke("GetFormStrings", String(kComponents)), Invoke("LoadSettings", "")}));
  page_->Settle(200);
  EXPECT_EQ(Sent(), 2u) << "nothing more is asked for at start";

  EXPECT_EQ(Js("return caption('lblSource');"), "From:");
  EXPECT_EQ(Js("return caption('chkSubfolder');"), "Into a folder of the day (261206)");
  EXPECT_EQ(Js("return caption('cmdMove');"), "Move");
  EXPECT_EQ(Js("return el('cmbTarget').placeholder;"), "Folder for the pictures");
  // Tooltips (a path box's with its path), and the progress bar's name.
  page_->Call(SetValue("cmbSource", String("/media/card"), 1));
  EXPECT_EQ(Js("return [el('cmdMove').title, el('cmbSource').title, el('chkAutorun').title,"
               "el('chkAutorun').parentElement.title, el('progress').getAttribute('aria-label')].join('|');"),
            "Moves every picture|Where the pictures are\n/media/card|Offered by the desktop|Offered by the desktop|"
            "How far the move is");
  EXPECT_EQ(Js("return states(['cmdMove','cmdBrowseSource','cmbSource','chkSubfolder','cmdPause','cmdCancel']);"),
            "cmdMove=on cmdBrowseSource=on cmbSource=on chkSubfolder=on cmdPause=off cmdCancel=off");
  EXPECT_EQ(Js("return el('progressText').textContent;"), "0%");
}

TEST(MovieStart, SettingsAreAskedForAfterTheCaptionsAndAlsoWhenTheyFail) {
  MoviePage page(QUILLFEN_MOVIE_PAGE);
  page.HoldBack("GetFormStrings");
  ASSERT_TRUE(page.Load());
  page.Settle(300);
  EXPECT_EQ(page.Requests().size(), 1u) << "LoadSettings waits for the captions";
  ASSERT_TRUE(page.ReleaseHeld("<array><property id=\"cmdMove\">"));  // cut short
  ASSERT_TRUE(page.WaitForRequests(2));
  EXPECT_EQ(page.Requests()[1], Invoke("LoadSettings", ""));
  EXPECT_EQ(page.Run("document.getElementById('cmdMove').textContent"), "Move") << "the default caption stays";
}

TEST_F(MovieTest, OptionsChangedByTheUserAreStoredButValuesFromTheProgramAreNot) {
  std::size_t before = Sent();
  EXPECT_EQ(page_->Call(SetValue("chkAutoRename", "<true/>", 4)), "");
  EXPECT_EQ(page_->Call(SetValue("chkSubfolder", "<false/>", 4)), "");
  EXPECT_EQ(page_->Call(SetValue("chkAutorun", "<true/>", 4)), "");
  EXPECT_EQ(Js("return [el('chkAutoRename').checked, el('chkSubfolder').checked, el('chkAutorun').checked].join();"),
            "true,false,true");
  page_->Settle(150);
  EXPECT_EQ(Sent(), before) << "a value set by the program is not sent back";

  Click("chkSubfolder");
  Click("chkSubfolder");
  Click("chkAutomoving");
  Click("chkAutorun");
  Click("chkAutoRename");
  auto preset = [](const std::string& name, const std::string& value) {
    return Invoke("SavePreset", String(name) + String(value));
  };
  EXPECT_EQ(RequestsAfter(before, 5),
            (Requests{preset("Subfolder", "true"), preset("Subfolder", "false"), preset("Automoving", "true"),
                      preset("Autorun", "false"), preset("AutoRename", "false")}));
}

TEST_F(MovieTest, ATypedPathIsSentWhenCommittedAndOnlyWhenChanged) {
  std::size_t before = Sent();
  Js("typeInto('cmbSource', '/media/card'); press('cmbSource', 'Enter');");
  Js("press('cmbSource', 'Enter'); el('cmbSource').blur();");  // nothing new to commit
  Js("typeInto('cmbTarget', '/home/ann/Pictures & \"Photos\" <2026>'); el('cmbTarget').blur();");
  Js("typeInto('cmbTarget', '/tmp/typo'); press('cmbTarget', 'Escape'); el('cmbTarget').blur();");
  EXPECT_EQ(Js("return el('cmbTarget').value;"), "/home/ann/Pictures & \"Photos\" <2026>") << "Escape takes back the typing";
  Js("typeInto('cmbSource', ''); press('cmbSource', 'Enter');");
  Js("typeInto('cmbTarget', '/home/anna/Изображения'); press('cmbTarget', 'Enter');");
  EXPECT_EQ(RequestsAfter(before, 4),
            (Requests{Invoke("SetPath", String("Source") + String("/media/card")),
                      Invoke("SetPath", "<string>Target</string><string>/home/ann/Pictures &amp; \"Photos\" &lt;2026&gt;</string>"),
                      Invoke("SetPath", "<string>Source</string><string/>"),
                      Invoke("SetPath", "<string>Target</string><string>/home/anna/Изображения</string>")}));
}

TEST_F(MovieTest, BrowsingStartsAtTheCurrentPathAndShowsTheChosenFolder) {
  page_->Call(SetValue("cmbSource", String("/media/card"), 1));
  page_->Call(SetValue("cmbTarget", String("/home/ann/Pictures"), 1));
  std::size_t before = Sent();
  page_->Answer("BrowseForSourceFolder", "<string>/media/EOS &amp; co</string>\r\n");
  Click("cmdBrowseSource");
  page_->WaitForRequests(before + 1);
  page_->Settle(100);
  page_->Answer("BrowseForTargetFolder", "");  // the dialog was cancelled
  Click("cmdBrowseTarget");
  EXPECT_EQ(RequestsAfter(before, 2),
            (Requests{Invoke("BrowseForSourceFolder", String("/media/card")),
                      Invoke("BrowseForTargetFolder", String("/home/ann/Pictures"))}));
  EXPECT_EQ(Js("return el('cmbSource').value + '|' + el('cmbTarget').value;"), "/media/EOS & co|/home/ann/Pictures");

  // While a dialog is open no second dialog and no move can be asked for.
  page_->HoldBack("BrowseForTargetFolder");
  before = Sent();
  Click("cmdBrowseTarget");
  ASSERT_TRUE(page_->WaitForRequests(before + 1));
  EXPECT_EQ(Js("return states(['cmdMove','cmdBrowseSource','cmdBrowseTarget']);"),
            "cmdMove=off cmdBrowseSource=off cmdBrowseTarget=off");
  Click("cmdBrowseTarget");
  Click("cmdMove");
  page_->Settle(150);
  EXPECT_EQ(Sent(), before + 1);
  page_->ReleaseHeld("<string>/srv/photos</string>\r\n");
  page_->Settle(100);
  EXPECT_EQ(Js("return el('cmbTarget').value + ' ' + states(['cmdMove','cmdBrowseTarget']);"),
            "/srv/photos cmdMove=on cmdBrowseTarget=on");
}

TEST_F(MovieTest, PauseAndCancelReachTheProgramWhileTheMoveIsInHand) {
  page_->HoldBack("StartOperationX");
  std::size_t before = Sent();
  Click("cmdMove");
  ASSERT_TRUE(page_->WaitForRequests(before + 1));
  Click("cmdMove");  // a second move must not start inside the first

  EXPECT_EQ(page_->Call(Invoke("SwitchControls", "<false/>")), "");
  EXPECT_EQ(Js("return states(['cmbSource','cmbTarget','cmdBrowseSource','cmdBrowseTarget','chkAutomoving',"
               "'chkAutorun','chkAutoRename','chkSubfolder','cmdMove','cmdPause','cmdCancel']);"),
            "cmbSource=off cmbTarget=off cmdBrowseSource=off cmdBrowseTarget=off chkAutomoving=off chkAutorun=off "
            "chkAutoRename=off chkSubfolder=off cmdMove=off cmdPause=on cmdCancel=on");
  Click("cmdPause");
  ASSERT_TRUE(page_->WaitForRequests(before + 2));
  EXPECT_EQ(page_->Call(SetValue("cmdPause", String("Resume"), 2)), "");
  EXPECT_EQ(Js("return el('cmdPause').textContent;"), "Resume");
  Click("cmdCancel");
  EXPECT_EQ(RequestsAfter(before, 3), (Requests{Invoke("StartOperationX", ""), Invoke("PauseOperationX", ""),
                                                Invoke("CancelOperationX", "")}));

  EXPECT_EQ(page_->Call(Invoke("SwitchControls", "<true/>")), "");
  EXPECT_EQ(Js("return states(['cmbSource','chkSubfolder','cmdBrowseTarget','cmdPause','cmdCancel','cmdMove']);"),
            "cmbSource=on chkSubfolder=on cmdBrowseTarget=off cmdPause=off cmdCancel=off cmdMove=off")
      << "Move and the folder dialogs wait for the end of the move's own request";
  ASSERT_TRUE(page_->ReleaseHeld());
  page_->Settle(100);
  EXPECT_EQ(Js("return states(['cmdMove','cmdBrowseTarget']);"), "cmdMove=on cmdBrowseTarget=on");
}

TEST_F(MovieTest, ShowsProgressStatusPathsAndNewCaptions) {
  auto progress = [this](const std::string& number) {
    EXPECT_EQ(page_->Call(Invoke("setProgress", "<number>" + number + "</number>")), "");
    return Js("const bar = el('progress'), fill = bar.querySelector('.progress-fill');"
              "const texts = [...bar.querySelectorAll('.progress-text')].map((t) => t.textContent);"
              "return texts.join('/') + ' ' + bar.getAttribute('aria-valuenow') + ' ' + bar.getAttribute('aria-valuetext') +"
              "' ' + Math.round(100 * fill.getBoundingClientRect().width / bar.clientWidth);");
  };
  page_->Run("document.querySelector('.progress-fill').style.transition = 'none'");
  EXPECT_EQ(progress("40"), "40%/40% 40 40% 40");
  EXPECT_EQ(progress("57.9"), "57%/57% 57 57% 57");
  EXPECT_EQ(progress("250"), "100%/100% 100 100% 100");
  EXPECT_EQ(progress("-3"), "0%/0% 0 0% 0");

  // The path lines keep one line, cut, with the whole text in their
  // tooltip; what the program reports wraps, and is read out.
  const std::string from = "Moving from: /media/ann/EOS_DIGITAL/DCIM/100CANON/and/a/long/way/further/down/the/tree";
  const std::string left = "12 other camera files (RAW, video, ...) stay on the card; \"Move every camera file\" in the "
                           "Options menu takes them too.";
  EXPECT_EQ(page_->Call(SetValue("infoFrom", String(from), 1)), "");
  EXPECT_EQ(page_->Call(SetValue("infoOperation", String(left), 1)), "");
  EXPECT_EQ(page_->Call(SetValue("cmbTarget", String("/home/ann/Pictures"), 1)), "");
  EXPECT_EQ(Js("const line = el('infoFrom'), report = el('infoOperation');"
               "return [line.textContent === line.title, line.scrollWidth > line.clientWidth, line.clientHeight,"
               "report.scrollWidth > report.clientWidth, report.clientHeight > line.clientHeight,"
               "el('announcer').textContent, el('cmbTarget').value].join('|');"),
            "true|true|14|false|true|" + left + "|/home/ann/Pictures");

  EXPECT_EQ(page_->Call(Invoke("renameControls", Array({{"cmdMove", "Move & sort <now>"}, {"cmdPause", "Hold"}}))), "");
  EXPECT_EQ(Js("return caption('cmdMove') + '|' + caption('cmdPause') + '|' + caption('cmdCancel');"),
            "Move & sort <now>|Hold|Cancel");
}

TEST_F(MovieTest, WritesValuesAsTheProgramWritesThem) {
  EXPECT_EQ(Js("const e = QuillfenExternal.encodeValue; return [e(true), e(false), e(42), e(-7), e(''), e('a<b&c>d')].join(' ');"),
            "<true/> <false/> <number>42</number> <number>-7</number> <string/> <string>a&lt;b&amp;c&gt;d</string>");
  EXPECT_EQ(Js("return QuillfenExternal.encodeValue(new Map([['cmdMove', 'Move'], ['cmdPause', 'Pause']]));"),
            "<array><property id=\"cmdMove\"><string>Move</string></property>"
            "<property id=\"cmdPause\"><string>Pause</string></property></array>");
  EXPECT_EQ(Js("return QuillfenExternal.encodeValue(new Map()) + ' ' + QuillfenExternal.encodeValue(new Map([['a\"&<b', 'ё']]));"),
            "<array/> <array><property id=\"a&quot;&amp;&lt;b\"><string>ё</string></property></array>");
  EXPECT_EQ(Js("return QuillfenExternal.encodeInvoke('exit', []);"), Invoke("exit", ""));
  EXPECT_EQ(Js("try { QuillfenExternal.encodeValue(NaN); return 'written'; } catch (e) { return 'refused'; }"), "refused");
}

TEST_F(MovieTest, RefusesCallsItDoesNotOffer) {
  const std::vector<std::string> refused = {
      Invoke("constructor", ""),
      Invoke("__proto__", ""),
      Invoke("eval", String("document.title = 'changed'")),
      "<invoke name=\"setProgress\" returntype=\"xml\"><arguments><number>40</number>",
      "<call name=\"setProgress\"><arguments><number>40</number></arguments></call>",
      Invoke("setProgress", "<number>forty</number>"),
      Invoke("setProgress", "<date>40</date>"),
      SetValue("movie", String("x"), 1),
      SetValue("infoFrom", String("x"), 7),
      SetValue("cmbSource", String("x"), 4),
  };
  for (const auto& request : refused) EXPECT_EQ(page_->Call(request).rfind("error: ", 0), 0u) << request;
  EXPECT_EQ(Js("return [document.title, el('progressText').textContent, el('cmbSource').value, el('infoFrom').textContent].join('|');"),
            "Quillfen|0%||");
}

TEST_F(MovieTest, AFolderNameIsShownAsItIsAndNeverRun) {
  // Quotes, a closing script tag, backslashes and the line separator U+2028.
  const std::string hostile =
      "/media/ann/It's \"mine\" </script><script>document.title='run'</script> \\ C:\\new\\ \xE2\x80\xA8 end";
  const std::string count = "return document.scripts.length + ' ' + document.querySelectorAll('*').length;";
  std::string elements = Js(count);
  EXPECT_EQ(page_->Call(SetValue("cmbSource", String(hostile), 1)), "");
  EXPECT_EQ(page_->Call(SetValue("infoFrom", String(hostile), 1)), "");
  EXPECT_EQ(page_->Call(Invoke("renameControls", Array({{"lblSource", hostile}}))), "");
  EXPECT_EQ(Js("return el('cmbSource').value;"), hostile);
  EXPECT_EQ(Js("return el('infoFrom').textContent;"), hostile);
  EXPECT_EQ(Js("return caption('lblSource');"), hostile);

  page_->Answer("BrowseForTargetFolder", String(hostile) + "\r\n");
  std::size_t before = Sent();
  Click("cmdBrowseTarget");
  page_->WaitForRequests(before + 1);
  page_->Settle(100);
  EXPECT_EQ(Js("return el('cmbTarget').value;"), hostile);
  Click("cmdBrowseSource");
  ASSERT_TRUE(page_->WaitForRequests(before + 2));
  EXPECT_EQ(page_->Requests().back(),
            Invoke("BrowseForSourceFolder", String(hostile))) << "and goes back to the program unchanged";
  EXPECT_EQ(Js("return document.title;"), "Quillfen") << "nothing was run";
  EXPECT_EQ(Js(count), elements) << "no element was made from the text";

  // Even a script element that found its way into the page would not run.
  Js("const s = document.createElement('script'); s.textContent = \"document.title = 'run'\"; document.body.append(s);");
  EXPECT_EQ(Js("return document.title;"), "Quillfen");
}

TEST_F(MovieTest, AFolderNameWithALineBreakGoesBackUnchanged) {
  // A text box cannot show a line break; the path it stands for keeps it,
  // and a carriage return travels as a reference that no reader changes.
  const std::string name = "/media/ann/two\nlines\r";
  EXPECT_EQ(page_->Call(SetValue("cmbSource", String(name), 1)), "");
  std::size_t before = Sent();
  Js("el('cmbSource').focus(); el('cmbSource').blur(); press('cmbSource', 'Enter');");
  Click("cmdBrowseSource");
  EXPECT_EQ(RequestsAfter(before, 1), (Requests{Invoke("BrowseForSourceFolder", String(name))}))
      << "an untouched box is no typed path";
}

// The lowest contrast figures of the page as it stands, "ratio what" each:
// its text against what lies behind it (every stop of a gradient, colours
// with alpha laid over what is below), the edges of its controls and the
// ring of the focused control against what lies around them.
const char* kContrastFigures = R"JS(
  const colours = (text) => [...text.matchAll(/rgba?\(([^)]*)\)/g)]
    .map((m) => m[1].split(",").map(Number)).map(([r, g, b, a = 1]) => ({ r, g, b, a }));
  const over = (top, below) => ({ a: 1, ...Object.fromEntries(["r", "g", "b"].map((c) => [c, top[c] * top.a + below[c] * (1 - top.a)])) });
  const luminance = (c) => ["r", "g", "b"].map((k) => c[k] / 255).map((v) => (v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4))
    .reduce((sum, v, i) => sum + v * [0.2126, 0.7152, 0.0722][i], 0);
  const ratio = (a, b) => { const [x, y] = [luminance(a), luminance(b)].sort((p, q) => q - p); return (x + 0.05) / (y + 0.05); };
  const behind = (node) => {
    let layers = [{ r: 255, g: 255, b: 255, a: 1 }];
    for (const n of [...document.querySelectorAll("*")].filter((n) => n.contains(node))) {
      const style = getComputedStyle(n), base = colours(style.backgroundColor).filter((c) => c.a > 0), stops = colours(style.backgroundImage);
      if (base.length) layers = layers.map((below) => over(base[0], below));
      if (stops.length) layers = layers.flatMap((below) => stops.map((stop) => over(stop, below)));
    }
    return layers;
  };
  const lowest = { text: [99, ""], edge: [99, ""], focus: [99, ""] };
  const note = (kind, colour, node, what) => {
    for (const fg of colours(colour).filter((c) => c.a > 0))
      for (const bg of behind(node)) if (ratio(over(fg, bg), bg) < lowest[kind][0]) lowest[kind] = [ratio(over(fg, bg), bg), what];
  };
  const name = (node) => node.id || node.className || node.tagName;
  for (const node of document.querySelectorAll("label, button, .option span, .info, .progress-text, input.path")) {
    if (node.getClientRects().length === 0 || (node.textContent === "" && !(node instanceof HTMLInputElement))) continue;
    const hint = node instanceof HTMLInputElement && node.value === "";
    note("text", getComputedStyle(node, hint ? "::placeholder" : null).color, node, name(node) + (hint ? " hint" : ""));
  }
  for (const node of document.querySelectorAll("input, button, .progress"))
    if (node.getClientRects().length) note("edge", getComputedStyle(node).borderTopColor, node.parentElement, name(node));
  const focused = document.activeElement, ring = getComputedStyle(focused);
  if (ring.outlineStyle === "none") lowest.focus = [0, name(focused) + " has no ring"];
  else note("focus", ring.outlineColor, focused.parentElement, name(focused));
  return Object.values(lowest).map(([value, what]) => value.toFixed(2) + " " + what).join("|");
)JS";

// In the desktop's light and dark style and in high contrast (black on
// white and white on black), idle and during a move, with every control
// focused from the keyboard in turn: text keeps 4.5:1, edges and the focus
// ring 3:1. The lowest figures are printed.
TEST(MovieColours, TextEdgesAndFocusRingKeepTheirContrastInEveryStyle) {
  struct Style {
    const char* name;
    const char* theme;
    bool dark;
  };
  GtkSettings* settings = gtk_settings_get_default();
  for (const Style& style : {Style{"light", "Adwaita", false}, Style{"dark", "Adwaita", true},
                             Style{"high contrast", "HighContrast", false},
                             Style{"high contrast, dark", "HighContrastInverse", true}}) {
    SCOPED_TRACE(style.name);
    g_object_set(settings, "gtk-theme-name", style.theme, "gtk-application-prefer-dark-theme", style.dark, nullptr);
    MoviePage page(QUILLFEN_MOVIE_PAGE);
    page.Answer("GetFormStrings", Array(kEnglish));
    ASSERT_TRUE(page.Load());
    page.WaitForRequests(2);
    for (const std::string& call : {SetValue("chkAutoRename", "<true/>", 4), SetValue("cmbTarget", String("/home"), 1),
                                    SetValue("infoExtra", String("Pictures moved: 12"), 1), SetProgress(45)})
      page.Call(call);
    // The lowest of each figure, and what it was measured on.
    std::vector<std::pair<double, std::string>> lowest(3, {99, ""});
    for (const bool moving : {false, true}) {
      if (moving) page.Call(SwitchControls(false));
      for (int stop = 0; stop < 12; ++stop) {
        page.PressTab();
        std::istringstream figures(page.Run("(() => {" + std::string(kContrastFigures) + "})()"));
        for (auto& [value, what] : lowest) {
          std::string figure;
          std::getline(figures, figure, '|');
          if (std::stod(figure) < value) value = std::stod(figure), what = figure;
        }
      }
    }
    EXPECT_GE(lowest[0].first, 4.5) << lowest[0].second;
    EXPECT_GE(lowest[1].first, 3.0) << lowest[1].second;
    EXPECT_GE(lowest[2].first, 3.0) << lowest[2].second;
    std::printf("contrast, %s: text %s; edges %s; focus ring %s\n", style.name, lowest[0].second.c_str(),
                lowest[1].second.c_str(), lowest[2].second.c_str());
  }
  g_object_set(settings, "gtk-theme-name", "Adwaita", "gtk-application-prefer-dark-theme", FALSE, nullptr);
}

class MovieLayoutTest : public MovieTest {
 protected:
  void SetUp() override {}
  // The page in the middle of a move, with every status line filled.
  void ShowMoveInProgress(const std::string& pauseCaption) {
    page_->Call(Invoke("SwitchControls", "<false/>"));
    page_->Call(Invoke("setProgress", "<number>40</number>"));
    page_->Call(SetValue("cmdPause", String(pauseCaption), 2));
    page_->Call(SetValue("cmbSource", String("/media/ann/EOS_DIGITAL/DCIM/100CANON/with/a/very/long/path/below/it"), 1));
    // The paths are longer than their lines; the report lines as a move writes them.
    for (const char* line : {"infoFrom", "infoTo"}) {
      page_->Call(SetValue(line, String(std::string(line) + ": /media/ann/EOS_DIGITAL/DCIM/100CANON/IMG_0001.JPG and a "
                                                            "lot more text than the line can hold"), 1));
    }
    page_->Call(SetValue("infoOperation", String("Moving \"IMG_0001_with_a_long_camera_name.JPG\"..."), 1));
    page_->Call(SetValue("infoExtra", String("Moving pictures..."), 1));
  }
  // A move's end: the files left on the card in the language file's own
  // words, and the backup folder's line.
  void ShowMoveEnded(const std::string& languageFile) {
    const Captions dialogs = ReadSection(languageFile, "Dialogs");
    std::string left = TextOf(dialogs, "left_on_card", "files left on the card: %1");
    left.replace(left.find("%1"), 2, "1234 RAW, 56 MP4, 7 XML");
    page_->Call(Invoke("SwitchControls", "<true/>"));
    page_->Call(SetValue("infoOperation", String(left), 1));
    page_->Call(SetValue("infoExtra", String(TextOf(dialogs, "moving_files")), 1));
    page_->Call(SetValue("txtBackup", String("/media/ann/Backup drive/Pictures from the card"), 1));
  }
};

TEST_F(MovieLayoutTest, NothingIsCutOrOverlapsInEitherLanguage) {
  struct Language {
    std::string name;
    Captions captions;
    std::string resume;
  };
  std::vector<Language> languages = {{"English", kEnglish, "Resume"}, {"long Russian", kLongRussian, "Продолжить"}};
  // Every language file of the program folder, in its own direction.
  for (const auto& entry : std::filesystem::directory_iterator(QUILLFEN_PROGRAM_DIR)) {
    if (entry.path().extension() != ".ini") continue;
    const std::string path = entry.path().string();
    languages.push_back({entry.path().filename().string(), MovieCaptions(path),
                         TextOf(ReadSection(path, "Dialogs"), "resume")});
  }
  ASSERT_GE(languages.size(), 4u);
  for (const auto& language : languages) {
    SCOPED_TRACE(language.name);
    Open(language.captions);
    EXPECT_EQ(Js(LayoutProblems()), "") << "idle";
    ShowMoveInProgress(language.resume);
    EXPECT_EQ(Js(LayoutProblems()), "") << "moving";
    if (language.name.find(".ini") != std::string::npos) {
      ShowMoveEnded(std::string(QUILLFEN_PROGRAM_DIR) + "/" + language.name);
      EXPECT_EQ(Js(LayoutProblems()), "") << "ended";
    }
    page_.reset();
  }
}

}  // namespace
}  // namespace quillfen::movietest

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "no display: the movie tests are skipped\n");
    return 77;
  }
  return RUN_ALL_TESTS();
}
