// The counts the catalogue's runner keeps for the effect it steps and hands it through the context: frames
// since its start, frames since the mouse cell last changed while it ran, and the grid side it was started
// for.
#pragma once

#include <cstdint>

#include "effects/effect.h"

namespace glowfield {

class EffectCounts {
  public:
    // Called before each step with the live grid side and mouse cell. True when the effect has to be made and
    // started afresh: it was asked to (a new entry, a key), or the grid side changed since its start, so that
    // no effect has to follow a resize of its own. A fresh start zeroes the counts, and the mouse has not
    // moved.
    bool beforeStep(bool restart, int n, int mouseX, int mouseY) {
        const bool fresh = restart || n != grid_;
        if (fresh) {
            grid_ = n;
            framesSinceStart_ = 0;
            framesSinceMouseMoved_ = EffectContext::never;
        } else {
            framesSinceStart_ =
                framesSinceStart_ == EffectContext::never ? framesSinceStart_ : framesSinceStart_ + 1;
            if (mouseX != mouseX_ || mouseY != mouseY_) {
                framesSinceMouseMoved_ = 0;
            } else if (framesSinceMouseMoved_ != EffectContext::never) {
                ++framesSinceMouseMoved_;
            }
        }
        mouseX_ = mouseX;
        mouseY_ = mouseY;
        return fresh;
    }

    // Both counts stay at never once they reach it rather than wrap.
    uint32_t framesSinceStart() const { return framesSinceStart_; }
    uint32_t framesSinceMouseMoved() const { return framesSinceMouseMoved_; }

  private:
    int grid_ = 0;
    int mouseX_ = -1, mouseY_ = -1;
    uint32_t framesSinceStart_ = 0;
    uint32_t framesSinceMouseMoved_ = EffectContext::never;
};

} // namespace glowfield
