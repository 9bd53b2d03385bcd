// What the player hears: the sound file the options name, read one 20 ms frame per tick and analysed into
// the SoundFrame that the effects and the automatic changes see. Without a source every frame is the
// silent one and nothing differs from a run that never listened.
#pragma once

#include <memory>
#include <string>

#include "app/command_line.h"
#include "platform/sound_source.h"
#include "sound/sound_frame.h"

namespace glowfield {

// Opens the --audio file when the options name one (else stops listening). Called before anything is
// written, so that a file that cannot be read leaves no output behind. Returns the error line, or empty.
std::string startListening(const Options& options);

// Listens to any source from now on (a file, or a sound server's stream); null stops listening.
void listenTo(std::unique_ptr<SoundSource> source);
void stopListening();

// Once per tick, before the switch test: the next frame of sound, analysed.
void listenToNextFrame();

// The frame the current tick heard; the silent frame when not listening.
const SoundFrame& currentSound();

// True once a file has no frame left (a run without --frames ends then).
bool soundEnded();

// Automatic changes on the music: with --switch-on-beat a change that is due waits for the next strong
// onset or beat, at most switchWaitFrames more, and then happens as if it had been on time. due: the period
// has just run out and the effect is not locked; locked: key k holds the effect. Returns whether to change
// now.
inline constexpr uint32_t switchWaitFrames = 250;
bool automaticSwitchNow(bool due, bool locked);

} // namespace glowfield
