#include "sound/aubio_library.h"

#include <dlfcn.h>

#include <cstdio>
#include <type_traits>

namespace glowfield {

namespace {

bool load(AubioLibrary& aubio) {
    void* library = dlopen("libaubio.so.5", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        return false;
    }
    const auto find = [library](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
        return function != nullptr;
    };
    return find(aubio.newOnset, "new_aubio_onset") && find(aubio.deleteOnset, "del_aubio_onset") &&
           find(aubio.onsetDo, "aubio_onset_do") && find(aubio.onsetSetSilence, "aubio_onset_set_silence") &&
           find(aubio.newTempo, "new_aubio_tempo") && find(aubio.deleteTempo, "del_aubio_tempo") &&
           find(aubio.tempoDo, "aubio_tempo_do") && find(aubio.tempoSetSilence, "aubio_tempo_set_silence") &&
           find(aubio.tempoGetLast, "aubio_tempo_get_last") && find(aubio.newVector, "new_fvec") &&
           find(aubio.deleteVector, "del_fvec");
}

} // namespace

const AubioLibrary* aubioLibrary() {
    static const AubioLibrary* const loaded = []() -> const AubioLibrary* {
        static AubioLibrary aubio;
        if (load(aubio)) {
            return &aubio;
        }
        std::fprintf(stderr, "glowfield: libaubio.so.5 cannot be loaded; listening goes on without onsets "
                             "and beats\n");
        return nullptr;
    }();
    return loaded;
}

} // namespace glowfield
