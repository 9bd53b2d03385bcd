// What the program hears during one 20 ms frame, analysed once and read by the frame loop and the effects.
// A frame of a program that is not listening, and a frame of silence, is all zeros.
#pragma once

#include <cstdint>

namespace glowfield {

struct SoundFrame {
    bool listening = false;                // sound is being analysed (a file or a live source)
    float level = 0.0f;                    // loudness after the automatic gain, 0..1
    float bass = 0.0f;                     // the three bands after the automatic gain, 0..1
    float middle = 0.0f;                   //
    float treble = 0.0f;                   //
    bool onset = false;                    // a note or a hit began during this frame
    float onsetStrength = 0.0f;            // how strong that onset was, 0..1 (0 when there was none)
    bool beat = false;                     // the beat tracker placed a beat in this frame
    uint32_t framesSinceBeat = neverHeard; // 0 on a beat frame

    static constexpr uint32_t neverHeard = 0xffffffffu;

    // True when there is anything to react to; silence leaves every effect exactly as without sound.
    bool heard() const { return listening && (level > 0.0f || onset || beat); }
};

} // namespace glowfield
