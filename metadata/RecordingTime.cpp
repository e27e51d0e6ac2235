// Reads when a video was recorded through MediaInfoLib.
//
// Why MediaInfoLib: it reads the containers cameras write (QuickTime and
// MP4, AVCHD's transport streams with their recording date, AVI's IDIT,
// MXF), is packaged by Debian and maintained; a parser of our own would
// have to learn each container and its traps anew. It is fed the file a
// piece at a time through the program's file-system port, follows the
// library's requests to seek (a QuickTime header often lies at the end),
// and stops after a budget of bytes, so a hostile file costs little.
#include "metadata/RecordingTime.h"

#include <MediaInfo/MediaInfo.h>
#include <pugixml.hpp>

#include <array>
#include <cwctype>
#include <string>
#include <vector>

#include "metadata/ExifDateText.h"

namespace quillfen {
namespace {

constexpr std::uint64_t kReadBudget = 4 * 1024 * 1024;
constexpr std::size_t kPiece = 64 * 1024;
constexpr std::size_t kMostClipXml = 256 * 1024;

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
  return narrow;
}

// "2023-01-06 00:00:00 UTC", "UTC 2023-01-06 00:00:00", "2013-06-28 14:20:12+02:00",
// "2023-01-01T12:00:00+0100": the date and time, and whether it is a moment in UTC.
std::optional<RecordedAt> ParseMediaDate(std::string text) {
  bool utc = false;
  if (text.rfind("UTC ", 0) == 0) {
    text.erase(0, 4);
    utc = true;
  }
  if (text.size() >= 4 && text.compare(text.size() - 4, 4, " UTC") == 0) {
    text.resize(text.size() - 4);
    utc = true;
  }
  if (text.size() < 19) return std::nullopt;
  // A time with its offset is the clock that wrote it; the offset is not needed.
  const std::optional<DateTaken> date = ParseExifDate(text.substr(0, 19));
  if (!date) return std::nullopt;
  return RecordedAt{*date, utc};
}

bool MentionsGoPro(const std::wstring& text) {
  std::wstring folded;
  for (wchar_t c : text) folded += static_cast<wchar_t>(std::towlower(c));
  return folded.find(L"gopro") != std::wstring::npos;
}

// Feeds the file to the library until it has what it wants, the file ends
// or the budget is spent.
void Feed(MediaInfoLib::MediaInfo& info, ByteSource& file) {
  const std::uint64_t size = file.Size();
  std::vector<unsigned char> piece(kPiece);
  info.Open_Buffer_Init(size, 0);
  std::uint64_t at = 0;
  for (std::uint64_t spent = 0; at < size && spent < kReadBudget;) {
    const long read = file.ReadAt(at, piece.data(), piece.size());
    if (read <= 0) break;
    spent += static_cast<std::uint64_t>(read);
    const std::size_t status = info.Open_Buffer_Continue(piece.data(), static_cast<std::size_t>(read));
    if (status & 0x08) break;  // finished
    const std::uint64_t next = info.Open_Buffer_Continue_GoTo_Get();
    if (next == static_cast<std::uint64_t>(-1)) {
      at += static_cast<std::uint64_t>(read);
    } else {
      at = next;
      info.Open_Buffer_Init(size, at);
    }
  }
  info.Open_Buffer_Finalize();
}

}  // namespace

std::optional<RecordedAt> ReadRecordingTime(ByteSource& file) {
  try {
    MediaInfoLib::MediaInfo info;
    info.Option(__T("ParseSpeed"), __T("0"));
    Feed(info, file);
    using MediaInfoLib::Stream_General;
    // The camera's own record first, then the container's.
    for (const wchar_t* field : {L"Recorded_Date", L"Encoded_Date", L"Tagged_Date"}) {
      std::optional<RecordedAt> recorded = ParseMediaDate(Narrow(info.Get(Stream_General, 0, field)));
      if (!recorded) continue;
      if (recorded->utc) {
        for (const wchar_t* maker : {L"Encoded_Library", L"Encoded_Application", L"Make", L"Title"})
          if (MentionsGoPro(info.Get(Stream_General, 0, maker))) recorded->utc = false;
        if (MentionsGoPro(info.Get(MediaInfoLib::Stream_Video, 0, L"Encoded_Library"))) recorded->utc = false;
      }
      return recorded;
    }
  } catch (...) {
    // Whatever the library throws, the move goes on with the file's time.
  }
  return std::nullopt;
}

std::optional<DateTaken> ReadClipMetadataTime(ByteSource& file) {
  const std::uint64_t size = file.Size();
  if (size == 0 || size > kMostClipXml) return std::nullopt;
  std::string text(static_cast<std::size_t>(size), '\0');
  if (file.ReadAt(0, text.data(), text.size()) != static_cast<long>(text.size())) return std::nullopt;
  pugi::xml_document document;
  if (!document.load_buffer(text.data(), text.size())) return std::nullopt;
  // <NonRealTimeMeta><CreationDate value="2023-01-01T12:00:00+09:00"/>
  const pugi::xml_node creation = document.document_element().child("CreationDate");
  const std::string value = creation.attribute("value").as_string();
  if (value.size() < 19) return std::nullopt;
  return ParseExifDate(value.substr(0, 19));
}

}  // namespace quillfen
