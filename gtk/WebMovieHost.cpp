#include "gtk/WebMovieHost.h"

#include <cstdio>
#include <exception>
#include <utility>

#include "base/Utf8.h"
#include "gtk/MovieAddress.h"

namespace quillfen {

namespace {

constexpr const char* kHandlerName = "quillfen";
// Calls into the movie travel in batches: a move makes two calls a picture,
// and one round to the page per call cost four times the move itself. The
// page gets a batch at the latest this long after its first call...
constexpr guint kBatchDelayMs = 20;
// ...or once it holds this many calls.
constexpr std::size_t kLargestBatch = 256;

WebKitSettings* LockedDownSettings() {
  WebKitSettings* settings = webkit_settings_new();
  webkit_settings_set_enable_developer_extras(settings, FALSE);
  webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
  webkit_settings_set_allow_file_access_from_file_urls(settings, FALSE);
  webkit_settings_set_allow_universal_access_from_file_urls(settings, FALSE);
  webkit_settings_set_enable_write_console_messages_to_stdout(settings, FALSE);
  webkit_settings_set_enable_back_forward_navigation_gestures(settings, FALSE);
  webkit_settings_set_enable_page_cache(settings, FALSE);
  // One small page: drawn at once in software. With compositing it stayed
  // blank for seconds after being shown where there is no GPU (Xvfb).
  webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  return settings;
}

const char* TerminationText(WebKitWebProcessTerminationReason reason) {
  switch (reason) {
    case WEBKIT_WEB_PROCESS_CRASHED: return "its process ended unexpectedly";
    case WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT: return "its process ran out of memory";
    case WEBKIT_WEB_PROCESS_TERMINATED_BY_API: return "its process was ended";
  }
  return "its process ended";
}

}  // namespace

WebMovieHost::WebMovieHost(HandlerNesting& nesting) : nesting_(nesting), pageCalls_(g_cancellable_new()) {
  contentManager_ = webkit_user_content_manager_new();
  g_signal_connect(contentManager_, "script-message-with-reply-received::quillfen", G_CALLBACK(OnScriptMessage),
                   this);
  webkit_user_content_manager_register_script_message_handler_with_reply(contentManager_, kHandlerName, nullptr);
  WebKitSettings* settings = LockedDownSettings();
  // The page stores nothing (no cache, no cookies, no HSTS list, no media
  // keys): an ephemeral context keeps WebKit's storage out of the home folder.
  WebKitWebContext* context = webkit_web_context_new_ephemeral();
  view_ = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "user-content-manager",
                                       contentManager_, "settings", settings, nullptr));
  g_object_unref(context);
  g_object_unref(settings);
  g_object_ref_sink(view_);
  g_signal_connect(view_, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
  g_signal_connect(view_, "create", G_CALLBACK(OnCreate), this);
  g_signal_connect(view_, "context-menu", G_CALLBACK(OnContextMenu), this);
  g_signal_connect(view_, "load-failed", G_CALLBACK(OnLoadFailed), this);
  g_signal_connect(view_, "web-process-terminated", G_CALLBACK(OnWebProcessTerminated), this);
}

WebMovieHost::~WebMovieHost() {
  if (flushTimer_) g_source_remove(flushTimer_);
  // Batches still on their way finish without this host.
  g_cancellable_cancel(pageCalls_);
  g_object_unref(pageCalls_);
  if (!heldFailure_.empty()) ReportBatchFailure(heldFailure_);
  // Owed replies are answered so the page is never left waiting.
  while (!replies_.Empty()) SendReply(replies_.Pop().first, nullptr);
  g_signal_handlers_disconnect_by_data(contentManager_, this);
  g_signal_handlers_disconnect_by_data(view_, this);
  g_object_unref(view_);
  g_object_unref(contentManager_);
}

void WebMovieHost::LoadMovie(const std::string& path) {
  GError* error = nullptr;
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, &error);
  if (!uri) {
    std::fprintf(stderr, "quillfen: the movie path %s is not usable: %s\n", path.c_str(), error->message);
    g_error_free(error);
    return;
  }
  movieUri_ = uri;
  g_free(uri);
  webkit_web_view_load_uri(view_, movieUri_.c_str());
}

bool WebMovieHost::FromMovie() const {
  const char* uri = webkit_web_view_get_uri(view_);
  return uri && IsMovieAddress(uri, movieUri_);
}

gboolean WebMovieHost::OnScriptMessage(WebKitUserContentManager*, JSCValue* value, WebKitScriptMessageReply* reply,
                                       gpointer data) {
  auto* self = static_cast<WebMovieHost*>(data);
  Reply owed{webkit_script_message_reply_ref(reply), JSC_CONTEXT(g_object_ref(jsc_value_get_context(value)))};
  // Only the movie page may speak to the program, and only in texts.
  if (!self->FromMovie() || !jsc_value_is_string(value)) {
    webkit_script_message_reply_return_error_message(reply, "refused");
    webkit_script_message_reply_unref(owed.reply);
    g_object_unref(owed.context);
    return TRUE;
  }
  gchar* text = jsc_value_to_string(value);
  std::string request = text ? text : "";
  g_free(text);

  // The first request of a page loaded anew: there is a page again.
  self->pageGone_ = false;
  self->replies_.Push(owed);
  self->HandleRequest(request);
  auto [handle, answer] = self->replies_.Pop();
  // The movie sees every call the request made before its answer.
  self->Flush();
  SendReply(handle, answer ? &*answer : nullptr);
  return TRUE;
}

void WebMovieHost::HandleRequest(const std::string& request) {
  if (handler_) RunHandler([&] { handler_(request); }, "a request of the movie");
}

void WebMovieHost::RunHandler(const std::function<void()>& handler, const char* what) {
  HandlerNesting::Scope scope(nesting_);
  // An exception must not unwind through WebKit's C frames; it is a fault of
  // the program, reported where it can be seen.
  try {
    handler();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quillfen: %s failed: %s\n", what, e.what());
  } catch (...) {
    std::fprintf(stderr, "quillfen: %s failed\n", what);
  }
}

void WebMovieHost::SendReply(const Reply& reply, const std::string* text) {
  // A request the program left unanswered still settles, with null, so the
  // page never waits for ever.
  JSCValue* value = text ? jsc_value_new_string(reply.context, MakeValidUtf8(*text).c_str()) : jsc_value_new_null(reply.context);
  webkit_script_message_reply_return_value(reply.reply, value);
  g_object_unref(value);
  webkit_script_message_reply_unref(reply.reply);
  g_object_unref(reply.context);
}

void WebMovieHost::SetReturnValue(const std::string& reply) { replies_.SetInnermost(reply); }

std::string WebMovieHost::CallFunction(const std::string& request) {
  if (pageGone_) return {};
  outbox_.push_back(request);
  if (outbox_.size() >= kLargestBatch) {
    Flush();
  } else if (!flushTimer_) {
    flushTimer_ = g_timeout_add(kBatchDelayMs, OnFlushTimer, this);
  }
  return {};
}

gboolean WebMovieHost::OnFlushTimer(gpointer data) {
  auto* self = static_cast<WebMovieHost*>(data);
  self->flushTimer_ = 0;
  self->Flush();
  return G_SOURCE_REMOVE;
}

void WebMovieHost::Flush() {
  if (flushTimer_) {
    g_source_remove(flushTimer_);
    flushTimer_ = 0;
  }
  if (outbox_.empty()) return;
  // GVariant strings must be valid UTF-8; a file name from the card need not
  // be, so its stray bytes are shown as U+FFFD rather than lose the call.
  // The requests travel as a dictionary "0", "1", ... (arrays are not among
  // the argument types WebKit passes); they are texts, never script.
  GVariantBuilder requests;
  g_variant_builder_init(&requests, G_VARIANT_TYPE_VARDICT);
  for (std::size_t i = 0; i < outbox_.size(); ++i)
    g_variant_builder_add(&requests, "{sv}", std::to_string(i).c_str(), g_variant_new_string(MakeValidUtf8(outbox_[i]).c_str()));
  GVariantBuilder arguments;
  g_variant_builder_init(&arguments, G_VARIANT_TYPE_VARDICT);
  g_variant_builder_add(&arguments, "{sv}", "requests", g_variant_builder_end(&requests));
  g_variant_builder_add(&arguments, "{sv}", "count", g_variant_new_uint32(static_cast<guint32>(outbox_.size())));
  outbox_.clear();
  // Each call runs on its own: one that fails does not keep the next from the movie.
  webkit_web_view_call_async_javascript_function(
      view_,
      "const failures = [];"
      "for (let i = 0; i < count; i++) {"
      "  try { externalCall(requests[String(i)]); } catch (error) { failures.push(String(error)); }"
      "}"
      "return failures.join('\\n');",
      -1, g_variant_builder_end(&arguments), nullptr, nullptr, pageCalls_, OnCallsFinished, this);
}

void WebMovieHost::OnCallsFinished(GObject* source, GAsyncResult* result, gpointer data) {
  GError* error = nullptr;
  JSCValue* value = webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source), result, &error);
  if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) {
    // Meant for a page that was lost, or the host is gone: nothing to say.
    g_error_free(error);
    return;
  }
  auto* self = static_cast<WebMovieHost*>(data);
  if (value) {
    gchar* failures = jsc_value_is_string(value) ? jsc_value_to_string(value) : nullptr;
    if (failures && *failures) std::fprintf(stderr, "quillfen: a call into the movie failed: %s\n", failures);
    g_free(failures);
    g_object_unref(value);
    // The page answers, so a batch that failed before it was not lost with it.
    if (!self->heldFailure_.empty()) ReportBatchFailure(std::exchange(self->heldFailure_, std::string()));
  }
  if (error) {
    // A batch in flight when the page's process ends fails before the loss
    // is told; it is held until a later batch shows the page alive.
    self->heldFailure_ = error->message;
    g_error_free(error);
  }
}

void WebMovieHost::ReportBatchFailure(const std::string& message) {
  std::fprintf(stderr, "quillfen: calls into the movie failed: %s\n", message.c_str());
}

gboolean WebMovieHost::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                      gpointer data) {
  auto* self = static_cast<WebMovieHost*>(data);
  switch (type) {
    case WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION: {
      WebKitNavigationAction* action =
          webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
      const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
      if (uri && IsMovieAddress(uri, self->movieUri_))
        webkit_policy_decision_use(decision);
      else
        webkit_policy_decision_ignore(decision);
      return TRUE;
    }
    case WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION:
      webkit_policy_decision_ignore(decision);
      return TRUE;
    case WEBKIT_POLICY_DECISION_TYPE_RESPONSE: {
      auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
      const char* uri = webkit_uri_request_get_uri(webkit_response_policy_decision_get_request(response));
      if (webkit_response_policy_decision_is_main_frame_main_resource(response) &&
          !(uri && IsMovieAddress(uri, self->movieUri_))) {
        webkit_policy_decision_ignore(decision);
        return TRUE;
      }
      return FALSE;
    }
    default:
      webkit_policy_decision_ignore(decision);
      return TRUE;
  }
}

GtkWidget* WebMovieHost::OnCreate(WebKitWebView*, WebKitNavigationAction*, gpointer) { return nullptr; }

gboolean WebMovieHost::OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent*, WebKitHitTestResult*, gpointer) {
  return TRUE;
}

gboolean WebMovieHost::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer) {
  // A refused navigation is reported as cancelled; that is no failure.
  if (g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE) ||
      g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED))
    return TRUE;
  // The window keeps its label and the watchdog tells the user; no error page.
  std::fprintf(stderr, "quillfen: the movie %s could not be loaded: %s\n", uri ? uri : "", error->message);
  return TRUE;
}

void WebMovieHost::OnWebProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer data) {
  auto* self = static_cast<WebMovieHost*>(data);
  // Said once here; what the program calls meanwhile is dropped, not
  // reported once a call.
  std::fprintf(stderr, "quillfen: the movie's page was lost: %s\n", TerminationText(reason));
  self->pageGone_ = true;
  self->outbox_.clear();
  if (self->flushTimer_) {
    g_source_remove(self->flushTimer_);
    self->flushTimer_ = 0;
  }
  g_cancellable_cancel(self->pageCalls_);
  g_object_unref(self->pageCalls_);
  self->pageCalls_ = g_cancellable_new();
  self->heldFailure_.clear();
  // A copy: the handler may replace itself.
  const PageLostHandler lost = self->lostHandler_;
  if (lost) self->RunHandler(lost, "loading the lost movie again");
}

}  // namespace quillfen
