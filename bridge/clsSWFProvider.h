#pragma once
// The bridge to the movie: dispatches the movie's requests and calls the
// movie's four functions.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Variant.h"
#include "bridge/ShownState.h"
#include "bridge/clsXMLProvider.h"
#include "mover/MoverView.h"
#include "platform/FileSystem.h"
#include "platform/MovieHost.h"
#include "platform/SystemInfo.h"
#include "platform/WindowSystem.h"
#include "settings/SettingsView.h"

namespace quillfen {

class clsFSMoving;
class clsLanguageProvider;
class clsSettings;
struct InvokeRequest;

// The movie's path below the program folder.
inline constexpr const char* kMovieRelativePath = "Flex/bin/Quillfen.html";

// The component names a "GetFormStrings" request joins with ":", split at
// every ":" with empty pieces kept; an empty text names no component.
std::vector<std::string> SplitComponentNames(const std::string& joined);

// What the mover and the settings show reaches the movie through here.
class clsSWFProvider : public MoverView, public SettingsView {
 public:
  // Prepares the two long-lived calls ("setProgress", then "setValue").
  // movie: the player the movie's calls go to until Control names another;
  // system: the program folder the movie lies in, and where the folder
  // dialogs start when the path in hand is no folder; files: whether it is.
  clsSWFProvider(WindowSystem& window, MovieHost& movie, const SystemInfo& system, const FileSystem& files,
                 clsLanguageProvider& language);
  ~clsSWFProvider() override;
  clsSWFProvider(const clsSWFProvider&) = delete;
  clsSWFProvider& operator=(const clsSWFProvider&) = delete;

  // The objects the movie's commands reach. They show what they do through
  // this bridge, so the owner introduces them once all three exist.
  void SetCommandTargets(clsSettings& settings, clsFSMoving& mover);

  // Handles one request of the movie and sets its reply. A request that
  // cannot be read is refused: no action, the empty reply.
  void FlashCall(const std::string& request);
  // Keeps the movie host and loads the movie into it.
  void Control(MovieHost& control);
  // For a page loaded anew after the last one was lost: its first
  // "LoadSettings" shows it again what the movie was last shown, then runs
  // `restored`, instead of starting the loader.
  void RestoreAtNextLoad(std::function<void()> restored);

  void SetProgress(const Variant& value) override;
  void SetCtlValue(const std::string& name, const Variant& value, ControlKind kind) override;
  void RenameComponents();
  void SwitchControls(bool enabled) override;

 private:
  // Runs the command's row; its reply, or nothing when no reply is set.
  std::optional<std::string> Dispatch(const InvokeRequest& request);
  // The folder dialog of the source (or the target) and its reply.
  std::string BrowseForFolder(const std::string& initialFolder, bool source);
  // The movie host given to Control; the platform's before that.
  MovieHost& Movie() const;
  // The command targets; throw std::logic_error before they were given.
  clsSettings& Settings() const;
  clsFSMoving& Mover() const;
  // Shows the page what the movie was last shown.
  void ShowAgain();
  // The calls into the movie, as they are shown and shown again.
  void SendProgress(const Variant& value);
  void SendCtlValue(const std::string& name, const Variant& value, ControlKind kind);
  void SendSwitchControls(bool enabled);
  // Hands the call `build()` writes to the movie. A call the encoder cannot
  // write is a fault of the program: its fatal box, and the program ends.
  template <typename Build>
  void CallMovie(Build&& build);
  WindowSystem& window_;
  MovieHost& platformMovie_;
  const SystemInfo& system_;
  const FileSystem& files_;
  clsLanguageProvider& language_;
  clsSettings* settings_ = nullptr;
  clsFSMoving* mover_ = nullptr;
  MovieHost* ctlFlash_ = nullptr;
  clsXMLProvider setProgressCall_;
  clsXMLProvider setValueCall_;
  ShownState shown_;
  std::function<void()> restoreAtLoad_;
};

}  // namespace quillfen
