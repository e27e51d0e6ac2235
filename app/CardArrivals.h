#pragma once
// The cards the desktop hands to the program, and what their arrival means.
// The card this start was given becomes the source once the settings are
// loaded, and is moved at once when the user asked for that (Automoving).
// A card that a later start hands over is taken only while the program is at
// rest: its movie loaded and its settings with it, no move running and none
// of the window's handlers on the stack. A move pumps events, so a card can
// arrive in the middle of one; it then waits for the move to end and never
// starts a second move inside the first.
#include <functional>
#include <string>
#include <vector>

#include "mover/clsFSMoving.h"
#include "platform/SystemInfo.h"
#include "platform/WindowSystem.h"
#include "settings/clsSettings.h"

namespace quillfen {

class CardArrivals {
 public:
  // system: the argument of this start (a card's folder, or nothing).
  CardArrivals(const SystemInfo& system, clsFSMoving& mover, const clsSettings& settings, const WindowSystem& window);

  // Once the settings are loaded: the source is this start's card, or else
  // the stored source.
  void GiveStartSource();
  // Then the card is moved when Automoving is on; the call returns after the move.
  void MoveStartCard();

  // A later start handed over its argument; one without an argument only
  // wanted the window, and leaves nothing to take.
  void Arrive(const std::string& argument);
  // Runs one of the window's handlers; once the outermost one has returned,
  // the cards that arrived meanwhile are taken.
  void Handle(const std::function<void()>& handler);
  // The window is closing: a card still waiting, or arriving now, is left
  // alone rather than offered to a user who is leaving.
  void Close();

 private:
  struct Card {
    std::string folder;
    // Arrived while a move ran: once that move has ended the card is offered
    // whatever the options say, since the user asked for it meanwhile.
    bool afterMove = false;
  };
  // Counts a handler on the stack for its lifetime.
  class Busy {
   public:
    explicit Busy(int& depth) : depth_(depth) { ++depth_; }
    ~Busy() { --depth_; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

   private:
    int& depth_;
  };

  bool Loaded() const;
  bool AtRest() const;
  // Whether the program already has this card in hand, so that the desktop
  // offering a card twice never moves it twice.
  bool InHand(const std::string& folder) const;
  void TakeWaiting();
  void Take(const Card& card);

  // The card this start was given, or nothing.
  std::string StartCard() const { return system_.CommandLineArgument(); }

  const SystemInfo& system_;
  clsFSMoving& mover_;
  const clsSettings& settings_;
  const WindowSystem& window_;
  std::vector<Card> waiting_;  // in the order they arrived
  int depth_ = 0;
  bool closed_ = false;
};

}  // namespace quillfen
