// State shared by the effects: the effect clock, the globals through which effects hand values to each other,
// and the particle store. Everything lives for the whole run; nothing is reset when the current effect
// changes, so a new effect starts on top of whatever the previous one left.
#pragma once

#include <cstdint>

namespace glowfield {

// The number of entries: one per effect or routine line of the catalogue, so that adding an effect is adding
// its file and its line.
inline constexpr int effectCount = 0
#define GLOWFIELD_EFFECT(index, name, family, effectClass) +1
#define GLOWFIELD_ROUTINE(index, name, family, routine) +1
#include "effects/catalogue.def"
    ;
inline constexpr int particleCapacity = 12000;

struct EffectState {
    int32_t currentEffect = 269; // only the low byte selects the effect: 269 runs effect 13 first
    uint32_t frameCounter = 749; // the effects' clock; the frame step adds 1 after the effect ran
    uint32_t switchPeriod = 750; // frames between automatic switches; key z sets 3000000
    int32_t spotX = 77;          // a point that many effects set before use and leave behind
    int32_t spotY = 77;          //
    int32_t mouseX = 77;         // the cell under the mouse
    int32_t mouseY = 77;         //
    int32_t scratchX = 0;        // shared integer loop counters and coordinates
    int32_t scratchY = 0;        //
    float sharedAngle = 0.0f;    // a scratch angle that several effects write and one reads back
    int32_t lastChannel = 0;     // a scratch colour-channel choice
    int32_t penRed = 0;          // colour handed to drawLine3D by the line-drawing effects
    int32_t penGreen = 0;        //
    int32_t penBlue = 0;         //
    int32_t letterOffset = 0;    // pen position while laying out letters; also the last pen line's block size
    int32_t particleCount = 0;   // number of points of the current point model
    int32_t steeringDirection =
        0; // Flesh Eating's last choice (1..4: left, right, up, down), kept across frames
};

// Arrays shared by the particle and point-model effects. An effect that lays the store out for itself writes
// its own mark into particleOwner (which is particleX[0]) and lays it out again when it finds another mark.
struct ParticleStore {
    float particleX[particleCapacity];     // positions; particleX[0] doubles as particleOwner
    float particleY[particleCapacity];     //
    float particleZ[particleCapacity];     //
    float particleVX[particleCapacity];    // velocities
    float particleVY[particleCapacity];    //
    float particleVZ[particleCapacity];    //
    int32_t particleTag[particleCapacity]; // per-particle integer: colour phase, letter, or linked point
};

// Parts of the one world (effects/world.h), whose reset restores them.
extern EffectState& shared;
extern ParticleStore& particles;

// The owner mark shares its storage with the X position of particle 0.
extern float& particleOwner;

} // namespace glowfield
