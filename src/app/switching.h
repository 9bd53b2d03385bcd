// Choosing the next effect: the automatic switch every switchPeriod frames, the entries the viewer lets it
// choose from, and the test for the first frame of an automatically chosen effect.
#pragma once

#include <cstdint>
#include <vector>

#include "app/session.h"

namespace glowfield {

// The test made by every timer tick before the frame step: on a multiple of switchPeriod, skip a count and
// choose a random playable effect. Nothing changes while the viewer has locked the current effect.
void checkAutomaticSwitch(const Session& session);

// Moves frameCounter so that the next tick chooses a new random effect.
void forceEffectChange();

// True on the first frame of an automatically chosen effect.
bool isFirstFrame();

// The entries that automatic switching, space and the tour may choose, into session.playable: ascending,
// each once, empty for every entry. Entries outside the catalogue are dropped.
void setPlayableEntries(Session& session, const std::vector<int>& entries);
bool isPlayable(const Session& session, int index);

// The playable entry a random draw picks: draw % effectCount when that one is playable (with every entry
// playable, the choice the player has always made, so that runs keep their frames), else one of the
// playable entries by the same draw.
int playableEntryFor(const Session& session, int draw);

// The automatic switching period in frames for a period in seconds at 50 frames a second: rounded, at least
// one frame, at most the period key z sets.
uint32_t switchPeriodFrames(double seconds);

} // namespace glowfield
