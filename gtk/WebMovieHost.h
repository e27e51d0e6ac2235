#pragma once
// The movie's player on WebKitGTK. The movie page reaches the program only
// through the "quillfen" message handler, each request answered through its
// own reply; the program reaches the movie only through externalCall(), the
// request handed over as a string argument, never as script text. The view
// shows the movie file and nothing else.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/MovieHost.h"
#include "gtk/HandlerNesting.h"
#include "gtk/PendingReplies.h"

namespace quillfen {

class WebMovieHost : public MovieHost {
 public:
  // nesting: where the movie's requests are marked while they are handled.
  explicit WebMovieHost(HandlerNesting& nesting);
  ~WebMovieHost() override;
  WebMovieHost(const WebMovieHost&) = delete;
  WebMovieHost& operator=(const WebMovieHost&) = delete;

  GtkWidget* widget() const { return GTK_WIDGET(view_); }
  WebKitWebView* view() const { return view_; }

  void LoadMovie(const std::string& path) override;
  // Hands the call to the movie and returns at once with the empty text: the
  // program never uses a movie function's result. Calls reach the page in
  // the order they were made, in short batches, and all of them before the
  // reply of the request that made them; while the page is lost they are
  // dropped.
  std::string CallFunction(const std::string& request) override;
  void SetReturnValue(const std::string& reply) override;
  void SetRequestHandler(RequestHandler handler) override { handler_ = std::move(handler); }
  // Told when the web process ends, whatever its reason.
  void SetPageLostHandler(PageLostHandler handler) override { lostHandler_ = std::move(handler); }

 private:
  struct Reply {
    WebKitScriptMessageReply* reply = nullptr;
    JSCContext* context = nullptr;
  };
  static gboolean OnScriptMessage(WebKitUserContentManager*, JSCValue* value, WebKitScriptMessageReply* reply,
                                  gpointer data);
  static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                 gpointer data);
  static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction*, gpointer);
  static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*, gpointer);
  static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer data);
  static void OnWebProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer data);
  static gboolean OnFlushTimer(gpointer data);
  static void OnCallsFinished(GObject* source, GAsyncResult* result, gpointer data);
  static void ReportBatchFailure(const std::string& message);
  // Sends the calls made so far to the movie, in one go.
  void Flush();
  void HandleRequest(const std::string& request);
  // Runs one of the program's handlers; what it throws is reported, not
  // unwound through WebKit's C frames.
  void RunHandler(const std::function<void()>& handler, const char* what);
  static void SendReply(const Reply& reply, const std::string* text);
  bool FromMovie() const;

  HandlerNesting& nesting_;
  WebKitUserContentManager* contentManager_ = nullptr;
  WebKitWebView* view_ = nullptr;
  std::string movieUri_;
  RequestHandler handler_;
  PageLostHandler lostHandler_;
  PendingReplies<Reply> replies_;
  std::vector<std::string> outbox_;
  guint flushTimer_ = 0;
  // From the loss of the page until the first request of the page loaded
  // anew: calls are dropped, for there is no page to take them.
  bool pageGone_ = false;
  // Cancelled with the page it belongs to: the batches still on their way
  // to a lost page fail without a word.
  GCancellable* pageCalls_ = nullptr;
  // Why a batch failed, until a later batch shows the page alive; dropped
  // when the page turns out lost.
  std::string heldFailure_;
};

}  // namespace quillfen
