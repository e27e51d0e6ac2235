#pragma once
// The movie page in a real WebKitGTK view, with a recording stand-in for the
// program behind the "quillfen" message handler: it keeps every request the
// page sends, answers from a table, and can hold replies back to answer later
// (as the program does with a move that runs inside its request).
#include <webkit2/webkit2.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace quillfen::movietest {

class MoviePage {
 public:
  // The page file and the size of the view that shows it.
  explicit MoviePage(std::string htmlPath, int width = 593, int height = 245);
  ~MoviePage();
  MoviePage(const MoviePage&) = delete;
  MoviePage& operator=(const MoviePage&) = delete;

  // What the stand-in replies to a command; a command without an entry gets
  // the empty reply.
  void Answer(const std::string& command, std::string reply);
  // Requests of this command stay unanswered until ReleaseHeld.
  void HoldBack(const std::string& command);
  // Answers the oldest held-back request; false when none is held.
  bool ReleaseHeld(const std::string& reply = "");

  // Loads the page and waits until it has offered its functions.
  bool Load();

  // The page's requests, as "invoke" XML texts in the order they arrived.
  const std::vector<std::string>& Requests() const { return requests_; }
  bool WaitForRequests(std::size_t count, int timeoutMs = 5000);
  // Requests that arrived after the first `from`, for short expectations.
  std::vector<std::string> RequestsSince(std::size_t from) const;

  // Runs a script in the page; its result as text, or "error: <message>".
  std::string Run(const std::string& script);
  // The program's call into the page: externalCall(request) with the request
  // as a string argument. Empty when it went through, else "error: ...".
  std::string Call(const std::string& request);

  // Lets the page and the view work for a while.
  void Settle(int ms);
  // The user presses Tab in the active window, as from the keyboard: the
  // page draws its keyboard focus ring.
  void PressTab();
  bool Snapshot(const std::string& pngPath);

  // The "name" of an "invoke" text.
  static std::string CommandName(const std::string& request);

 private:
  static gboolean OnMessage(WebKitUserContentManager*, JSCValue* message, WebKitScriptMessageReply* reply,
                            gpointer self);
  static void Reply(WebKitScriptMessageReply* reply, JSCValue* context, const std::string& text);
  bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

  std::string htmlPath_;
  GtkWidget* window_ = nullptr;
  WebKitWebView* view_ = nullptr;
  std::vector<std::string> requests_;
  std::map<std::string, std::string> answers_;
  std::set<std::string> heldCommands_;
  struct Held {
    WebKitScriptMessageReply* reply;
    JSCValue* context;
  };
  std::vector<Held> held_;
};

}  // namespace quillfen::movietest
