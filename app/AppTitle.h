#pragma once
// The application's title: the main window's design caption, the title of
// message boxes that name no other, and the name the About window shows.

namespace quillfen {

inline constexpr const char* kAppTitle = "Quillfen";

}  // namespace quillfen
