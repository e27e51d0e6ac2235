#pragma once
// The files a camera writes, known by their extension in any letter case:
// pictures, RAW files, videos and the sidecar files that belong to them
// (thumbnails, edits, proxies, voice memos). A hidden file is never one of
// them (macOS leaves "._IMG_0001.JPG" beside each picture).
#include <string>

namespace quillfen {

enum class CameraFileKind { None, Picture, Raw, Video, Sidecar };

CameraFileKind KindOfCameraFile(const std::string& name);
inline bool IsCameraFile(const std::string& name) { return KindOfCameraFile(name) != CameraFileKind::None; }

// The card's folders that hold video beside "DCIM", relative to the card's
// root, as the cameras that use them name them (letter case aside).
extern const char* const kCameraVideoFolders[];
extern const std::size_t kCameraVideoFolderCount;

}  // namespace quillfen
