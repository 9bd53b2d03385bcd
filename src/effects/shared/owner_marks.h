// The marks that effects leave in particleOwner (the X position of particle 0) to recognise the particle
// store as laid out by themselves. They are listed together so that no two effects share one by accident;
// Volcano and Quoonirky share theirs on purpose, so that each skips its set-up after the other.
#pragma once

namespace glowfield {

// The mark that the relief leaves in particleOwner once it has loaded its picture.
inline constexpr float reliefMark = 1.25f;

inline constexpr float volcanoMark = 110.0f; // also Quoonirky's: each skips its set-up after the other
inline constexpr float inkblotMark = 111.0f;

inline constexpr float lavaMark = 123.0f;

inline constexpr float wipMark = 125.0f;
inline constexpr float asparagusMark = 126.0f;

inline constexpr float squareRootMark = 135.0f;

// Owner marks of the model effects.
inline constexpr float spiralMark = 11.621f;
inline constexpr float messageMark = 3.455f;
inline constexpr float cubeMark = 115.621f;

} // namespace glowfield
