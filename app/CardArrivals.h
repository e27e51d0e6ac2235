#pragma once
// The cards the desktop hands to the program, and what their arrival means.
// The card this start was given becomes the source once the settings are
// loaded, and is moved at once when the user asked for that (Automoving).
// A card that a later start hands over is taken only while the program is at
// rest: its movie loaded and its settings with it, no move running and none
// of the window's handlers on the stack. A move pumps events, so a card can
// arrive in the middle of one; it then waits for the move to end and never
// starts a second move inside the first. An argument that is not an
// existing folder is never taken: the user is told, and nothing is stored
// or moved.
#include <functional>
#include <string>
#include <vector>

#include "localization/clsLanguageProvider.h"
#include "mover/clsFSMoving.h"
#include "platform/FileSystem.h"
#include "platform/SystemInfo.h"
#include "platform/WindowSystem.h"
#include "settings/clsSettings.h"

namespace quillfen {

class CardArrivals {
 public:
  // The collaborators of the cards' arrival.
  struct Parts {
    const SystemInfo& system;  // the argument of this start (a card's folder, or nothing)
    const FileSystem& files;   // whether a card's folder exists
    clsFSMoving& mover;
    const clsSettings& settings;
    WindowSystem& window;  // whether the program is at rest; the box about a missing folder
    const clsLanguageProvider& texts;
  };
  explicit CardArrivals(const Parts& parts);

  // Once the settings are loaded: the source is this start's card, or else
  // the stored source (the user is told, once at rest, when the card is no
  // folder).
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
  // An existing folder, or else the user is told that it is none.
  bool IsFolder(const std::string& folder) const;

  // The card this start was given, or nothing.
  std::string StartCard() const { return system_.CommandLineArgument(); }

  const SystemInfo& system_;
  const FileSystem& files_;
  clsFSMoving& mover_;
  const clsSettings& settings_;
  WindowSystem& window_;
  const clsLanguageProvider& texts_;
  std::vector<Card> waiting_;  // in the order they arrived
  int depth_ = 0;
  bool closed_ = false;
  bool startCardTaken_ = false;
};

}  // namespace quillfen
