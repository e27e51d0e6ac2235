#pragma once
// The guard of the user's options: while it is held, option changes reported
// by the movie or the menu are neither applied nor stored. It is held from
// start-up until the settings are loaded, and for the whole of every move,
// so that a move runs on the options it started with. The program has one;
// the settings and the mover ask it.
namespace quillfen {

class SettingsLock {
 public:
  void Hold() { held_ = true; }
  void Release() { held_ = false; }
  bool Held() const { return held_; }

 private:
  bool held_ = false;
};

}  // namespace quillfen
