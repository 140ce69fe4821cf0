// Port: the short system sounds with which the naming workflow marks a rename.
#pragma once

namespace lumatag {

enum class SystemSound {
  kExclamation,  // a photo was renamed
  kDefault,      // the last photo of the list was reached
  kQuestion,     // a key that does nothing here
};

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Plays the sound; `wait` returns only when it has finished.
  virtual void Play(SystemSound sound, bool wait) = 0;
};

}  // namespace lumatag
