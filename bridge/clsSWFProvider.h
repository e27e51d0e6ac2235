#pragma once
// The bridge to the movie: dispatches the movie's requests and calls the
// movie's four functions.
#include <cstdint>
#include <memory>
#include <string>

#include "bridge/Variant.h"
#include "bridge/clsXMLProvider.h"

namespace quillfen {

class GlobalModule;
class MovieHost;

// The movie's path below the program folder.
inline constexpr const char* kMovieRelativePath = "Flex/bin/Quillfen.html";

class clsSWFProvider {
 public:
  // Prepares the two long-lived calls ("setProgress", then "setValue").
  explicit clsSWFProvider(GlobalModule& module);
  ~clsSWFProvider();

  // Handles one request of the movie and sets its reply.
  void FlashCall(const std::string& request);
  // Keeps the movie host and loads the movie into it.
  void Control(MovieHost& control);

  void SetProgress(const Variant& value);
  void SetCtlValue(const std::string& name, const Variant& value, std::int16_t kind);
  void RenameComponents();
  void SwitchControls(bool enabled);

 private:
  void CallMovie(const std::string& request);
  GlobalModule& module_;
  MovieHost* ctlFlash_ = nullptr;
  clsXMLProvider xmlSetProgress_;
  clsXMLProvider xmlSetValue_;
};

}  // namespace quillfen
