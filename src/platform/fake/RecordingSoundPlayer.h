// A sound player for tests: records what would have been played.
#pragma once

#include <vector>

#include "platform/SoundPlayer.h"

namespace lumatag {

class RecordingSoundPlayer final : public SoundPlayer {
 public:
  struct Played {
    SystemSound sound;
    bool wait;
  };
  void Play(SystemSound sound, bool wait) override { played.push_back({sound, wait}); }
  std::vector<Played> played;
};

// A player that plays nothing (the command-line program).
class SilentSoundPlayer final : public SoundPlayer {
 public:
  void Play(SystemSound, bool) override {}
};

}  // namespace lumatag
