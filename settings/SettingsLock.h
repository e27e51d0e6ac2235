#pragma once
// The guard of the user's options: while it is held, option changes reported
// by the movie or the menu are neither applied nor stored. It is held from
// start-up until the settings are loaded, and for the whole of every move,
// so that a move runs on the options it started with. The program has one;
// the settings and the mover ask it, and the window is told when it changes
// (its option items are unavailable while it is held).
#include <functional>
#include <utility>

namespace quillfen {

class SettingsLock {
 public:
  void Hold() { Change(true); }
  void Release() { Change(false); }
  bool Held() const { return held_; }
  // Called after every change between held and released.
  void SetObserver(std::function<void()> observer) { observer_ = std::move(observer); }

 private:
  void Change(bool held) {
    if (held_ == held) return;
    held_ = held;
    if (observer_) observer_();
  }

  bool held_ = false;
  std::function<void()> observer_;
};

}  // namespace quillfen
