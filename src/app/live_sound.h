// Sound in the player beyond the analysis: the answer to --list-audio-sources, the source --listen opens
// before anything else starts, the line said when the sound server goes away during a run, the --audio file
// played aloud on the screen, and the line said when a recording cannot carry it.
#pragma once

#include <memory>

#include "app/command_line.h"
#include "platform/pulse_source.h"
#include "platform/sound_player.h"

namespace glowfield {

// Prints the sound server's sources one per line. 0; 1 with one line when no server answers.
int listAudioSources();

// The source options.listen asks for, connected and reading; nullptr when not listening. When it cannot be
// opened: nullptr, one line said, and code 1 (no sound server) or 2 (no such source, or refused).
std::unique_ptr<PulseSource> openLiveSource(const Options& options, int& code);

// The exit code of a run whose sound server went away: the run ends as after a stop request, its outputs
// written, and reports it with this code.
inline constexpr int soundServerLostCode = 3;

// True, saying so once in one line, when source has lost its server.
bool liveSourceLost(const PulseSource* source);

// The --audio file played aloud, or nullptr: no file, or (after one line) no sound device.
std::unique_ptr<SoundPlayer> startPlayingAloud(const Options& options);

// One line when --record makes a video without a sound track (.y4m, .gif) while --audio names a file.
void sayWhenVideoHasNoSound(const Options& options);

} // namespace glowfield
