// The gallery: every entry rendered headless from a fresh start into DIR/NNN.png, with a thumbnail each, a
// contact sheet of labelled thumbnails and an index page linking them.
#pragma once

#include "app/command_line.h"

namespace glowfield {

// Entries that only transform what is already on the screen show a grey field from a fresh start; they are
// rendered after this many frames of primerEntry instead, as a viewer meets them in play.
inline constexpr int primerEntry = 1;
inline constexpr int primerFrames = 200;

// Renders the gallery of options.galleryDirectory with options.seed (default 1) and options.frames (default
// 200) in worker processes, one per core, which end with it. The files appear only when all are made; a stop
// signal ends the run at once and leaves the folder as it was. Returns the exit code: 0, 1 when stopped, 2
// when the folder cannot be written or a file failed.
int runGallery(const Options& options);

} // namespace glowfield
