#pragma once
// The user's options a move reads when it starts. The settings object
// implements it; the options cannot change while a move runs, because the
// settings refuse every change while they are locked.

namespace quillfen {

class MoveOptions {
 public:
  virtual ~MoveOptions() = default;
  // Pictures go into a folder named after the day, inside the target.
  virtual bool Subfolder() const = 0;
  // Moved pictures get numbered names continuing the target's numbers.
  virtual bool AutoRename() const = 0;
  // Every file a camera writes (RAW, video, sidecars) moves, each shot under
  // one name; else pictures (*.jpg) alone.
  virtual bool AllCameraFiles() const = 0;
  // With day folders, each picture goes into the folder of the day it was
  // taken; else all into the folder of the day of the move.
  virtual bool DateTakenFolders() const = 0;
};

}  // namespace quillfen
