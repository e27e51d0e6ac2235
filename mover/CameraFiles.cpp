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

using K = CameraFileKind;

// What cameras, phones, drones and action cameras write, and the sidecars
// that photo programs write beside them.
constexpr Extension kExtensions[] = {
    // Pictures, the camera's own processed ones included (Olympus' MPO 3D pair).
    {"jpg", K::Picture}, {"jpeg", K::Picture}, {"jpe", K::Picture}, {"heic", K::Picture}, {"heif", K::Picture},
    {"hif", K::Picture}, {"avif", K::Picture}, {"jxl", K::Picture}, {"webp", K::Picture}, {"png", K::Picture},
    {"tif", K::Picture}, {"tiff", K::Picture}, {"mpo", K::Picture}, {"insp", K::Picture},
    // RAW: every maker's, each with a way to its date (exiv2 reads the TIFF-based ones, CR3, ORF,
    // RW2, RAF and MRW; X3F and CRW keep theirs at the end), Sony's pixel-shift ARQ and Olympus' ORI
    // (the original beside a processed ORF).
    {"3fr", K::Raw}, {"arq", K::Raw}, {"arw", K::Raw}, {"cr2", K::Raw}, {"cr3", K::Raw}, {"crw", K::Raw},
    {"dcr", K::Raw}, {"dng", K::Raw}, {"erf", K::Raw}, {"fff", K::Raw}, {"gpr", K::Raw}, {"iiq", K::Raw},
    {"k25", K::Raw}, {"kdc", K::Raw}, {"mef", K::Raw}, {"mos", K::Raw}, {"mrw", K::Raw}, {"nef", K::Raw},
    {"nrw", K::Raw}, {"orf", K::Raw}, {"ori", K::Raw}, {"pef", K::Raw}, {"raf", K::Raw}, {"raw", K::Raw},
    {"rw2", K::Raw}, {"rwl", K::Raw}, {"sr2", K::Raw}, {"srf", K::Raw}, {"srw", K::Raw}, {"x3f", K::Raw},
    // Video: cameras, AVCHD and broadcast streams, cinema RAW (Canon's CRM, Nikon's N-RAW, Blackmagic,
    // RED, ARRI), 360° cameras.
    {"mp4", K::Video}, {"mov", K::Video}, {"avi", K::Video}, {"mts", K::Video}, {"m2ts", K::Video},
    {"m2t", K::Video}, {"mxf", K::Video}, {"m4v", K::Video}, {"3gp", K::Video}, {"mpg", K::Video},
    {"mpeg", K::Video}, {"mkv", K::Video}, {"webm", K::Video}, {"crm", K::Video}, {"nev", K::Video},
    {"braw", K::Video}, {"r3d", K::Video}, {"ari", K::Video}, {"insv", K::Video}, {"360", K::Video},
    {"vob", K::Video},
    // Sidecars: thumbnails, low-resolution proxies (GoPro's LRV, DJI's LRF), drones' subtitles with
    // their flight data, edits (XMP, Apple's AAE, RawTherapee, DxO), voice memos, clip metadata.
    {"thm", K::Sidecar}, {"lrv", K::Sidecar}, {"lrf", K::Sidecar}, {"srt", K::Sidecar}, {"xmp", K::Sidecar},
    {"aae", K::Sidecar}, {"pp3", K::Sidecar}, {"dop", K::Sidecar}, {"wav", K::Sidecar}, {"xml", K::Sidecar},
};

// Folders a camera keeps its catalogues in, and files of that kind by name.
constexpr std::string_view kCameraOwnFolders[] = {"CANONMSC", "AVF_INFO"};
constexpr std::string_view kCameraOwnFiles[] = {
    "MEDIAPRO.XML", "STATUS.BIN",   "CUEUP.XML",    "DISCMETA.XML", "SONYCARD.IND", "NC_FLLST.DAT",
    "NIKON001.DSC", "INDEX.BDM",    "MOVIEOBJ.BDM", "AVIN0001.INP", "AVIN0001.BNP", "AVIN0001.INT",
};

bool IsCameraOwn(const std::string& name, const std::string& folder) {
  for (std::string_view own : kCameraOwnFiles)
    if (EqualsNoCase(name, std::string(own))) return true;
  const std::string folderName = GetFileName(folder);
  for (std::string_view own : kCameraOwnFolders)
    if (EqualsNoCase(folderName, std::string(own))) return true;
  return false;
}

FileFate FateOfKind(CameraFileKind kind) {
  switch (kind) {
    case K::Picture: return FileFate::Picture;
    case K::Raw: return FileFate::Raw;
    case K::Video: return FileFate::Video;
    case K::Sidecar: return FileFate::Sidecar;
    case K::None: break;
  }
  return FileFate::Other;
}

}  // namespace

CameraFileKind KindOfCameraFile(const std::string& name) {
  if (name.empty() || name.front() == '.') return K::None;
  const std::string extension = GetExtensionName(name);
  if (extension.empty() || extension.size() > 4) return K::None;
  const std::string folded = FoldNoCase(extension);
  for (const Extension& known : kExtensions)
    if (known.name == folded) return known.kind;
  return K::None;
}

FileFate FateOf(const std::string& name, const std::string& folder, CardFolder where, bool everyCameraFile) {
  if (name.empty() || name.front() == '.') return FileFate::Hidden;
  if (IsCameraOwn(name, folder)) return FileFate::CameraOwn;
  const CameraFileKind kind = KindOfCameraFile(name);
  if (!everyCameraFile) return EqualsNoCase(GetExtensionName(name), "jpg") ? FileFate::Taken : FateOfKind(kind);
  if (kind != K::None || where == CardFolder::Pictures) return FileFate::Taken;
  return FileFate::Other;
}

// Sony's XAVC and XDCAM clips, AVCHD's streams (Sony, Panasonic, Canon) and
// Sony's older MP4 folder.
const char* const kCameraVideoFolders[] = {
    "PRIVATE/M4ROOT/CLIP", "PRIVATE/XDROOT/Clip", "PRIVATE/AVCHD/BDMV/STREAM", "AVCHD/BDMV/STREAM", "MP_ROOT",
};
const std::size_t kCameraVideoFolderCount = sizeof kCameraVideoFolders / sizeof kCameraVideoFolders[0];

const char* const kClipCompanionFolders[] = {
    "PRIVATE/M4ROOT/THMBNL", "PRIVATE/M4ROOT/SUB", "PRIVATE/XDROOT/Thmbnl", "PRIVATE/XDROOT/Sub",
};
const std::size_t kClipCompanionFolderCount = sizeof kClipCompanionFolders / sizeof kClipCompanionFolders[0];

}  // namespace quillfen
