// The end of a move that went through: the card ejected when it is empty and
// the user wants it, the folder shown, a notification for a user who looked
// elsewhere, and the report; and the checksum lists of every move.
#include "localization/clsLanguageProvider.h"
#include "mover/ChecksumList.h"
#include "mover/clsFSMoving.h"

namespace quillfen {

namespace {

// A move shorter than this was watched; a longer one may have been left.
constexpr std::int64_t kNotifyAfterSeconds = 5;

// Nothing the user shot stays: at most the camera's own catalogues and
// hidden files, which formatting the card removes.
bool NothingShotStays(const LeftOnCard& left) {
  return left.Total() == left.Count(FileFate::CameraOwn) + left.Count(FileFate::Hidden);
}

}  // namespace

void clsFSMoving::FinishMove(const MovePlan& plan, const WalkState& walk, std::int64_t started) {
  const bool emptied = plan.left.Total() == 0;
  std::optional<FsStatus> ejected;
  if (NothingShotStays(plan.left) && plan.ejectCard) {
    // No file of the card may stay open, or the card would be busy.
    ports_.files.ForgetHints();
    ejected = ports_.shell.Eject(plan.source);
    // A folder on no removable volume is no card: the move ends as without eject.
    if (ejected->code == FsCode::NotFound) ejected.reset();
  }
  NotifyIfBehind(started, texts_.GetDialog("notify_moved", {TextValue(walk.moved), plan.targetFolder}),
                 ejected && ejected->ok());
  // With the card gone, the pictures' new folder is what the user looks at.
  ports_.shell.OpenFolder(ejected ? plan.targetFolder : plan.sourceFolder);
  std::string done;
  if (!ejected)
    done = emptied ? T("files_moved") : texts_.GetDialog("files_moved_not_empty", {LeftList(plan.left)});
  else if (ejected->ok())
    done = T("files_moved_ejected");
  else
    done = texts_.GetDialog("eject_failed", {ReasonText(*ejected)});
  Box(done, "", ejected && !ejected->ok() ? BoxIcon::Warning : BoxIcon::Information, BoxButtons::OK);
}

// A list that cannot be written loses no picture: the user is told, and the
// move's report follows.
void clsFSMoving::WriteChecksumLists(const WrittenFiles& written) {
  const LocalTime now = ports_.system.TimeOf(ports_.system.Now());
  for (const auto& [folder, listed] : written) {
    std::string path;
    if (FsStatus wrote = WriteChecksumList(ports_.files, folder, now, listed, path); !wrote)
      Box(texts_.GetDialog("checksum_list_failed", {path, ReasonText(wrote)}), "", BoxIcon::Warning, BoxButtons::OK);
  }
}

void clsFSMoving::NotifyIfBehind(std::int64_t started, const std::string& moved, bool cardEjected) {
  if (ports_.system.Now() - started < kNotifyAfterSeconds || ports_.window.InFront()) return;
  ports_.shell.Notify(texts_.GetDialog("quillfen_id"),
                      moved + "\n" + T(cardEjected ? "notify_card_removable" : "notify_card_mounted"));
}

}  // namespace quillfen
