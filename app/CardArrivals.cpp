#include "app/CardArrivals.h"

#include <algorithm>

#include "base/AppNames.h"

namespace quillfen {

CardArrivals::CardArrivals(const Parts& parts)
    : system_(parts.system),
      files_(parts.files),
      mover_(parts.mover),
      settings_(parts.settings),
      window_(parts.window),
      texts_(parts.texts) {}

bool CardArrivals::IsFolder(const std::string& folder) const {
  if (files_.FolderExists(folder)) return true;
  window_.MessageBox(texts_.GetDialog("argument_not_folder", {folder}), kAppTitle, BoxIcon::Warning, BoxButtons::OK);
  return false;
}

void CardArrivals::GiveStartSource() {
  const std::string card = StartCard();
  startCardTaken_ = !card.empty() && files_.FolderExists(card);
  // One that is no folder waits like a later start's card, and is said to
  // be none once the window is shown.
  if (!card.empty() && !startCardTaken_) waiting_.push_back(Card{card});
  mover_.Source(startCardTaken_ ? card : settings_.StoredSource());
}

void CardArrivals::MoveStartCard() {
  if (startCardTaken_ && settings_.On(Option::Automoving)) mover_.StartOperation();
}

// The movie is shown only once the loader has loaded the settings (and made
// the move the first start asked for).
bool CardArrivals::Loaded() const { return window_.MovieVisible(); }

bool CardArrivals::AtRest() const { return depth_ == 0 && !closed_ && Loaded() && !mover_.Running(); }

bool CardArrivals::InHand(const std::string& folder) const {
  if (mover_.Running() && folder == mover_.SourceValue()) return true;
  // The loader still has to take the first start's card.
  if (!Loaded() && folder == StartCard()) return true;
  return std::any_of(waiting_.begin(), waiting_.end(), [&](const Card& card) { return card.folder == folder; });
}

void CardArrivals::Arrive(const std::string& argument) {
  if (argument.empty() || closed_) return;
  const bool moving = mover_.Running();
  if (!InHand(argument)) waiting_.push_back(Card{argument, moving});
  TakeWaiting();
}

void CardArrivals::Handle(const std::function<void()>& handler) {
  {
    Busy busy(depth_);
    handler();
  }
  TakeWaiting();
}

void CardArrivals::Close() {
  closed_ = true;
  waiting_.clear();
}

// A card taken may start a move, during which further cards arrive and wait
// their turn.
void CardArrivals::TakeWaiting() {
  while (AtRest() && !waiting_.empty()) {
    const Card card = waiting_.front();
    waiting_.erase(waiting_.begin());
    Busy busy(depth_);
    Take(card);
  }
}

// The card becomes the source, as at start-up. It is moved at once when the
// user asked for that; one that waited for a move is offered as well, and
// the move's own confirmation, which names the card, is the offer.
void CardArrivals::Take(const Card& card) {
  // A card may have gone while it waited for a move.
  if (!IsFolder(card.folder)) return;
  mover_.Source(card.folder);
  if (card.afterMove || settings_.On(Option::Automoving)) mover_.StartOperation();
}

}  // namespace quillfen
