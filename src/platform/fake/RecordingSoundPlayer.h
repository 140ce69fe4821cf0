// A sound player for tests: records what would have been played.
#pragma once

#include <vector>

#include "ports/SoundPlayer.h"

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

}  // namespace lumatag
