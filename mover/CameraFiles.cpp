#include "mover/CameraFiles.h"

#include <string_view>

#include "base/NoCase.h"
#include "base/PathParts.h"

namespace quillfen {

namespace {

struct Extension {
  std::string_view name;
  CameraFileKind kind;
};

constexpr Extension kExtensions[] = {
    {"jpg", CameraFileKind::Picture},  {"jpeg", CameraFileKind::Picture}, {"heic", CameraFileKind::Picture},
    {"heif", CameraFileKind::Picture}, {"hif", CameraFileKind::Picture},  {"avif", CameraFileKind::Picture},
    {"png", CameraFileKind::Picture},  {"tif", CameraFileKind::Picture},  {"tiff", CameraFileKind::Picture},
    {"3fr", CameraFileKind::Raw},      {"arw", CameraFileKind::Raw},      {"cr2", CameraFileKind::Raw},
    {"cr3", CameraFileKind::Raw},      {"crw", CameraFileKind::Raw},      {"dcr", CameraFileKind::Raw},
    {"dng", CameraFileKind::Raw},      {"erf", CameraFileKind::Raw},      {"fff", CameraFileKind::Raw},
    {"gpr", CameraFileKind::Raw},      {"iiq", CameraFileKind::Raw},      {"k25", CameraFileKind::Raw},
    {"kdc", CameraFileKind::Raw},      {"mef", CameraFileKind::Raw},      {"mos", CameraFileKind::Raw},
    {"mrw", CameraFileKind::Raw},      {"nef", CameraFileKind::Raw},      {"nrw", CameraFileKind::Raw},
    {"orf", CameraFileKind::Raw},      {"pef", CameraFileKind::Raw},      {"raf", CameraFileKind::Raw},
    {"raw", CameraFileKind::Raw},      {"rw2", CameraFileKind::Raw},      {"rwl", CameraFileKind::Raw},
    {"sr2", CameraFileKind::Raw},      {"srf", CameraFileKind::Raw},      {"srw", CameraFileKind::Raw},
    {"x3f", CameraFileKind::Raw},      {"mp4", CameraFileKind::Video},    {"mov", CameraFileKind::Video},
    {"avi", CameraFileKind::Video},    {"mts", CameraFileKind::Video},    {"m2ts", CameraFileKind::Video},
    {"m4v", CameraFileKind::Video},    {"3gp", CameraFileKind::Video},    {"mpg", CameraFileKind::Video},
    {"insv", CameraFileKind::Video},   {"thm", CameraFileKind::Sidecar},  {"xmp", CameraFileKind::Sidecar},
    {"aae", CameraFileKind::Sidecar},  {"lrv", CameraFileKind::Sidecar},  {"wav", CameraFileKind::Sidecar},
};

}  // namespace

CameraFileKind KindOfCameraFile(const std::string& name) {
  if (name.empty() || name.front() == '.') return CameraFileKind::None;
  const std::string extension = GetExtensionName(name);
  if (extension.empty() || extension.size() > 4) return CameraFileKind::None;
  const std::string folded = FoldNoCase(extension);
  for (const Extension& known : kExtensions)
    if (known.name == folded) return known.kind;
  return CameraFileKind::None;
}

// Sony's XAVC and XDCAM clips, AVCHD's streams (Sony, Panasonic, Canon) and
// Sony's older MP4 folder.
const char* const kCameraVideoFolders[] = {
    "PRIVATE/M4ROOT/CLIP", "PRIVATE/XDROOT/Clip", "PRIVATE/AVCHD/BDMV/STREAM", "AVCHD/BDMV/STREAM", "MP_ROOT",
};
const std::size_t kCameraVideoFolderCount = sizeof kCameraVideoFolders / sizeof kCameraVideoFolders[0];

}  // namespace quillfen
