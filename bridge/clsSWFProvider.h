#pragma once
// The bridge to the movie: dispatches the movie's requests and calls the
// movie's four functions.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bridge/Variant.h"
#include "bridge/clsXMLProvider.h"

namespace quillfen {

class GlobalModule;
class MovieHost;
struct InvokeRequest;

// The movie's path below the program folder.
inline constexpr const char* kMovieRelativePath = "Flex/bin/Quillfen.html";

// The component names a "GetFormStrings" request joins with ":", split at
// every ":" with empty pieces kept; an empty text names no component.
std::vector<std::string> SplitComponentNames(const std::string& joined);

class clsSWFProvider {
 public:
  // Prepares the two long-lived calls ("setProgress", then "setValue").
  explicit clsSWFProvider(GlobalModule& module);
  ~clsSWFProvider();

  // Handles one request of the movie and sets its reply. A request that
  // cannot be read is refused: no action, the empty reply.
  void FlashCall(const std::string& request);
  // Keeps the movie host and loads the movie into it.
  void Control(MovieHost& control);

  void SetProgress(const Variant& value);
  void SetCtlValue(const std::string& name, const Variant& value, std::int16_t kind);
  void RenameComponents();
  void SwitchControls(bool enabled);

 private:
  // Runs the command's row; its reply, or nothing when no reply is set.
  std::optional<std::string> Dispatch(const InvokeRequest& request);
  // The folder dialog of the source (or the target) and its reply.
  std::string BrowseForFolder(const std::string& initialFolder, bool source);
  // The movie host given to Control; the platform's before that.
  MovieHost& Movie() const;
  void CallMovie(const std::string& request);
  GlobalModule& module_;
  MovieHost* ctlFlash_ = nullptr;
  clsXMLProvider xmlSetProgress_;
  clsXMLProvider xmlSetValue_;
};

}  // namespace quillfen
