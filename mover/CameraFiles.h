#pragma once
// What each file of a camera card is, by its name and the folder it lies in:
// a picture, RAW file, video or sidecar (known by its extension in any
// letter case), a file the camera keeps for itself (catalogues, databases),
// a hidden file, or some other file.
#include <string>

namespace quillfen {

enum class CameraFileKind {
  None,       // not a camera file: another file, or a hidden one
  Picture,
  Raw,
  Video,
  Sidecar,    // thumbnails, edits, proxies, subtitles, voice memos, clip metadata
};

CameraFileKind KindOfCameraFile(const std::string& name);
inline bool IsCameraFile(const std::string& name) { return KindOfCameraFile(name) != CameraFileKind::None; }

// Where a file lies on the card.
enum class CardFolder {
  Pictures,  // the DCIM tree, or a source without one
  Video,     // one of the camera's video folders beside DCIM
};

// What a move does with a file it finds, and, for one that stays on the
// card, how the report names it.
enum class FileFate {
  Taken,       // moves as (part of) a shot
  Hidden,      // a hidden file (macOS leaves "._IMG_0001.JPG" beside each picture)
  CameraOwn,   // the camera's own catalogue or database
  Picture,     // a picture that stays (a hidden one, counted but never moved)
  Raw,
  Video,
  Sidecar,
  Other,
};
inline constexpr int kFileFateCount = 8;

// With every camera file, a move takes every camera file and, in the DCIM
// tree, every other file that is neither hidden nor the camera's own; the
// camera's own files stay. Without, it takes the pictures (*.jpg) alone.
// `folder` is the path of the file's folder (for the camera's own folders).
FileFate FateOf(const std::string& name, const std::string& folder, CardFolder where, bool everyCameraFile);


// The card's folders that hold video beside "DCIM", relative to the card's
// root, as the cameras that use them name them (letter case aside).
extern const char* const kCameraVideoFolders[];
extern const std::size_t kCameraVideoFolderCount;
// Folders beside some of those whose files belong to the clips there
// (Sony's thumbnails and proxies: "THMBNL/C0001T01.JPG" is clip C0001's).
extern const char* const kClipCompanionFolders[];
extern const std::size_t kClipCompanionFolderCount;

}  // namespace quillfen
