// aubio's onset and beat detectors, loaded when the first sound analyser is made rather than with the player:
// the library brings in ffmpeg's libraries and some 150 others, which would add tens of milliseconds to every
// start of the player, listening or not.
#pragma once

#include <aubio/aubio.h>

namespace glowfield {

struct AubioLibrary {
    decltype(&new_aubio_onset) newOnset = nullptr;
    decltype(&del_aubio_onset) deleteOnset = nullptr;
    decltype(&aubio_onset_do) onsetDo = nullptr;
    decltype(&aubio_onset_set_silence) onsetSetSilence = nullptr;
    decltype(&new_aubio_tempo) newTempo = nullptr;
    decltype(&del_aubio_tempo) deleteTempo = nullptr;
    decltype(&aubio_tempo_do) tempoDo = nullptr;
    decltype(&aubio_tempo_set_silence) tempoSetSilence = nullptr;
    decltype(&aubio_tempo_get_last) tempoGetLast = nullptr;
    decltype(&new_fvec) newVector = nullptr;
    decltype(&del_fvec) deleteVector = nullptr;
};

// The library's calls, looked up on the first call; nullptr when it cannot be loaded (one line on standard
// error says so, once).
const AubioLibrary* aubioLibrary();

} // namespace glowfield
