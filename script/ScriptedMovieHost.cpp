#include "script/ScriptedMovieHost.h"

namespace quillfen {

std::string InvokeFunctionName(const std::string& request) {
  const std::string marker = "name=\"";
  auto start = request.find(marker);
  if (start == std::string::npos) return {};
  start += marker.size();
  auto end = request.find('"', start);
  return request.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

ScriptedMovieHost::ScriptedMovieHost(EventLog& log, ScriptedWindowSystem& window) : log_(log), window_(window) {}

std::optional<std::string> ScriptedMovieHost::Request(const std::string& request) {
  replies_.emplace_back();
  struct Frame {
    std::vector<std::optional<std::string>>& replies;
    ~Frame() { replies.pop_back(); }
  };
  std::optional<std::string> reply;
  {
    Frame frame{replies_};
    if (handler_) handler_(request);
    reply = replies_.back();
  }
  log_.Add(reply ? "reply " + EscapeLogText(*reply) : std::string("no-reply"));
  return reply;
}

void ScriptedMovieHost::After(const std::string& function, int count, const std::string& request) {
  After(function, count, [this, request] { Request(request); });
}

void ScriptedMovieHost::After(const std::string& function, int count, std::function<void()> event) {
  if (CallCount(function) >= count) {
    window_.QueueEvent(std::move(event));
    return;
  }
  triggers_.push_back({function, count, std::move(event)});
}

void ScriptedMovieHost::LosePage() {
  log_.Add("page-lost");
  if (lostHandler_) lostHandler_();
}

int ScriptedMovieHost::CallCount(const std::string& function) const {
  auto it = callCounts_.find(function);
  return it == callCounts_.end() ? 0 : it->second;
}

void ScriptedMovieHost::LoadMovie(const std::string& path) {
  moviePath_ = path;
  log_.Add("load-movie " + EscapeLogText(path));
}

std::string ScriptedMovieHost::CallFunction(const std::string& request) {
  log_.Add("movie " + EscapeLogText(request));
  if (keepCalls_) calls_.push_back(request);
  const std::string function = InvokeFunctionName(request);
  const int count = ++callCounts_[function];
  for (auto it = triggers_.begin(); it != triggers_.end();) {
    if (it->function == function && it->count <= count) {
      window_.QueueEvent(std::move(it->event));
      it = triggers_.erase(it);
    } else {
      ++it;
    }
  }
  return {};
}

void ScriptedMovieHost::SetReturnValue(const std::string& reply) {
  if (!replies_.empty()) replies_.back() = reply;
}

}  // namespace quillfen
