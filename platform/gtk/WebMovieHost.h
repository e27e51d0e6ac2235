#pragma once
// The movie's player on WebKitGTK. The movie page reaches the program only
// through the "quillfen" message handler, each request answered through its
// own reply; the program reaches the movie only through externalCall(), the
// request handed over as a string argument, never as script text. The view
// shows the movie file and nothing else.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <string>
#include <vector>

#include "platform/MovieHost.h"
#include "platform/gtk/HandlerNesting.h"
#include "platform/gtk/PendingReplies.h"

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
  const std::string& movieUri() const { return movieUri_; }

  void LoadMovie(const std::string& path) override;
  // Hands the call to the movie and returns at once with the empty text: the
  // program never uses a movie function's result. Calls reach the page in
  // the order they were made, in short batches, and all of them before the
  // reply of the request that made them.
  std::string CallFunction(const std::string& request) override;
  void SetReturnValue(const std::string& reply) override;
  void SetRequestHandler(RequestHandler handler) override { handler_ = std::move(handler); }

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
  static void OnWebProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer);
  static gboolean OnFlushTimer(gpointer data);
  static void OnCallsFinished(GObject* source, GAsyncResult* result, gpointer);
  // Sends the calls made so far to the movie, in one go.
  void Flush();
  void HandleRequest(const std::string& request);
  static void SendReply(const Reply& reply, const std::string* text);
  bool FromMovie() const;

  HandlerNesting& nesting_;
  WebKitUserContentManager* contentManager_ = nullptr;
  WebKitWebView* view_ = nullptr;
  std::string movieUri_;
  RequestHandler handler_;
  PendingReplies<Reply> replies_;
  std::vector<std::string> outbox_;
  guint flushTimer_ = 0;
};

}  // namespace quillfen
