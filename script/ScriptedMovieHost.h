#pragma once
// An in-memory movie: logs every call the host makes into it, sends the
// requests a transcript or a test gives, and logs their replies.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/MovieHost.h"
#include "script/EventLog.h"
#include "script/ScriptedWindowSystem.h"

namespace quillfen {

class ScriptedMovieHost : public MovieHost {
 public:
  ScriptedMovieHost(EventLog& log, ScriptedWindowSystem& window);

  // The movie sends a request now; returns its reply (nothing: no reply).
  std::optional<std::string> Request(const std::string& request);
  // Once the host has called `function` `count` times in all, the request
  // arrives at the next event pump.
  void After(const std::string& function, int count, const std::string& request);
  // The same for any event of the movie (a test's).
  void After(const std::string& function, int count, std::function<void()> event);
  // The movie's page is lost, as when its process ends.
  void LosePage();

  int CallCount(const std::string& function) const;
  // Every call into the movie, in order.
  const std::vector<std::string>& Calls() const { return calls_; }
  // A host that only prints the calls keeps none (they are in the log).
  void KeepCalls(bool keep) { keepCalls_ = keep; }
  const std::string& MoviePath() const { return moviePath_; }

  void LoadMovie(const std::string& path) override;
  std::string CallFunction(const std::string& request) override;
  void SetReturnValue(const std::string& reply) override;
  void SetRequestHandler(RequestHandler handler) override { handler_ = std::move(handler); }
  void SetPageLostHandler(PageLostHandler handler) override { lostHandler_ = std::move(handler); }

 private:
  struct Trigger {
    std::string function;
    int count;
    std::function<void()> event;
  };
  EventLog& log_;
  ScriptedWindowSystem& window_;
  RequestHandler handler_;
  PageLostHandler lostHandler_;
  std::vector<std::optional<std::string>> replies_;  // one per request in hand, innermost last
  std::map<std::string, int> callCounts_;
  std::vector<std::string> calls_;
  bool keepCalls_ = true;
  std::vector<Trigger> triggers_;
  std::string moviePath_;
};

// The function name of an "invoke" text (the value of its first name attribute).
std::string InvokeFunctionName(const std::string& request);

}  // namespace quillfen
