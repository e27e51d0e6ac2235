#pragma once
// The player of the movie, the web page that is the whole user interface.
#include <functional>
#include <string>

namespace quillfen {

class MovieHost {
 public:
  using RequestHandler = std::function<void(const std::string& request)>;
  using PageLostHandler = std::function<void()>;
  virtual ~MovieHost() = default;

  // Starts loading the movie file.
  virtual void LoadMovie(const std::string& path) = 0;
  // Runs a movie function, given as an "invoke" request; returns its result text.
  virtual std::string CallFunction(const std::string& request) = 0;
  // Sets the reply of the request being handled (the innermost one when
  // requests are nested). A request whose handler never calls it gets no reply.
  virtual void SetReturnValue(const std::string& reply) = 0;
  // Receives every request the movie sends.
  virtual void SetRequestHandler(RequestHandler handler) = 0;
  // Hears that the movie's page was lost (its process ended): everything it
  // showed is gone, and a reply it was owed reaches nobody. Calls into the
  // movie reach nothing from then until a page loaded anew sends its first
  // request.
  virtual void SetPageLostHandler(PageLostHandler handler) = 0;
};

}  // namespace quillfen
