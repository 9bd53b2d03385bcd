#include "app/switching.h"

#include <algorithm>
#include <cmath>

#include "app/listening.h"
#include "effects/catalogue.h"
#include "field/random.h"

namespace glowfield {

void checkAutomaticSwitch(const Session& session) {
    const bool due = shared.frameCounter % shared.switchPeriod == 0 && !session.locked;
    if (automaticSwitchNow(due, session.locked)) {
        ++shared.frameCounter;
        selectEffect(playableEntryFor(session, nextRandom()));
    }
}

void forceEffectChange() {
    shared.frameCounter = shared.frameCounter - 1 - shared.frameCounter % shared.switchPeriod;
}

bool isFirstFrame() {
    return shared.frameCounter % shared.switchPeriod == 1;
}

void setPlayableEntries(Session& session, const std::vector<int>& entries) {
    std::vector<int>& playable = session.playable;
    playable.clear();
    for (const int index : entries) {
        if (index >= 0 && index < effectCount) {
            playable.push_back(index);
        }
    }
    std::sort(playable.begin(), playable.end());
    playable.erase(std::unique(playable.begin(), playable.end()), playable.end());
    if (playable.size() == static_cast<size_t>(effectCount)) {
        playable.clear();
    }
}

bool isPlayable(const Session& session, int index) {
    const std::vector<int>& playable = session.playable;
    return playable.empty() ? index >= 0 && index < effectCount
                            : std::binary_search(playable.begin(), playable.end(), index);
}

int playableEntryFor(const Session& session, int draw) {
    // The draw's own entry when it may play: every choice stays equally likely, and a run keeps the frames it
    // had with every entry playable until it draws one that is left out.
    const auto value = static_cast<uint32_t>(draw);
    const int entry = static_cast<int>(value % effectCount);
    if (isPlayable(session, entry)) {
        return entry;
    }
    return session.playable[value % session.playable.size()];
}

uint32_t switchPeriodFrames(double seconds) {
    constexpr double longest = 3000000.0;
    if (!(seconds > 0.0)) {
        return 1;
    }
    const double frames = std::round(seconds * 50.0);
    return static_cast<uint32_t>(std::clamp(frames, 1.0, longest));
}

} // namespace glowfield
