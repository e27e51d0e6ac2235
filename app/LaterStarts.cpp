// When and how the cards handed over by later starts are taken.
#include "app/LaterStarts.h"

#include <algorithm>

#include "app/GlobalModule.h"
#include "mover/clsFSMoving.h"
#include "settings/clsSettings.h"

namespace quillfen {

LaterStarts::LaterStarts(GlobalModule& module) : module_(module) {}

// The movie is shown only once the loader has loaded the settings (and made
// the move the first start asked for).
bool LaterStarts::Loaded() const { return module_.platform().window.MovieVisible(); }

bool LaterStarts::AtRest() const {
  return depth_ == 0 && !closed_ && Loaded() && !module_.objFSMoving().Running();
}

bool LaterStarts::InHand(const std::string& folder) const {
  clsFSMoving& mover = module_.objFSMoving();
  if (mover.Running() && folder == mover.SourceValue()) return true;
  // The loader still has to take the first start's card.
  if (!Loaded() && folder == module_.platform().system.CommandLineArgument()) return true;
  return std::any_of(waiting_.begin(), waiting_.end(), [&](const Card& card) { return card.folder == folder; });
}

void LaterStarts::Arrive(const std::string& argument) {
  if (argument.empty() || closed_) return;
  const bool moving = module_.objFSMoving().Running();
  if (!InHand(argument)) waiting_.push_back(Card{argument, moving});
  TakeWaiting();
}

void LaterStarts::Handle(const std::function<void()>& handler) {
  {
    Busy busy(depth_);
    handler();
  }
  TakeWaiting();
}

void LaterStarts::Close() {
  closed_ = true;
  waiting_.clear();
}

// A card taken may start a move, during which further cards arrive and wait
// their turn.
void LaterStarts::TakeWaiting() {
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
void LaterStarts::Take(const Card& card) {
  clsFSMoving& mover = module_.objFSMoving();
  mover.Source(card.folder);
  if (card.afterMove || module_.objSettings().Automoving()) mover.StartOperation();
}

}  // namespace quillfen
