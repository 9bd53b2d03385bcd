#include "sound/sound_analyser.h"

#include <algorithm>
#include <cmath>
#include <kiss_fftr.h>

#include "sound/aubio_library.h"

namespace glowfield {

namespace {

// Below this loudness (about -80 dBFS) a frame is silence: nothing in it is reacted to.
constexpr double silenceRms = 1e-4;
// The quietest loudness the automatic gain lifts to full scale (about -50 dBFS): quieter hiss stays small.
constexpr float quietestReference = 0.003f;
// The gain follows the loudest recent frame and lets go by this much a frame: a track 20 dB quieter than
// the one before fills the range again within about five seconds.
constexpr float referenceDecay = 0.99f;
// A band holding nothing still has this share of the loudest band as its reference, so it stays near 0.
constexpr float bandFloorShare = 0.02f;
// Frames of silence after sound in which the beat tracker's beats still count: a beat may fall in the
// quiet just before its hit, and the gaps between sparse hits are silent.
constexpr uint32_t beatHold = 50;
constexpr float bandEdges[4] = {20.0f, 250.0f, 2000.0f, 16000.0f}; // Hz: bass, middle, treble

// The power of two samples per detector step that gives about 100 steps a second (512 at 44.1 and 48 kHz).
int hopFor(int rate) {
    int hop = 64;
    while (hop * 2 <= rate / 86) {
        hop *= 2;
    }
    return hop;
}

float unit(float value) {
    return std::clamp(value, 0.0f, 1.0f);
}

} // namespace

struct SoundAnalyser::Detectors {
    const AubioLibrary* aubio = aubioLibrary(); // nullptr: no onsets and no beats
    aubio_onset_t* onset = nullptr;
    aubio_tempo_t* tempo = nullptr;
    fvec_t* input = nullptr;
    fvec_t* onsetOut = nullptr;
    fvec_t* tempoOut = nullptr;
    uint_t lastBeat = 0;
    kiss_fftr_cfg fft = nullptr;
    std::vector<kiss_fft_cpx> spectrum;

    ~Detectors() {
        if (onset) {
            aubio->deleteOnset(onset);
        }
        if (tempo) {
            aubio->deleteTempo(tempo);
        }
        for (fvec_t* vector : {input, onsetOut, tempoOut}) {
            if (vector) {
                aubio->deleteVector(vector);
            }
        }
        kiss_fftr_free(fft);
    }
};

SoundAnalyser::SoundAnalyser(int sampleRate)
    : rate_(std::max(sampleRate, 1000)), hop_(hopFor(rate_)), fftSize_(hop_ * 4),
      detectors_(std::make_unique<Detectors>()), levelReference_(quietestReference),
      bandReference_{quietestReference, quietestReference, quietestReference}, recentRms_{} {
    const auto window = static_cast<uint_t>(hop_ * 2);
    const auto hop = static_cast<uint_t>(hop_);
    const auto rate = static_cast<uint_t>(rate_);
    Detectors& d = *detectors_;
    if (const AubioLibrary* aubio = d.aubio) {
        d.onset = aubio->newOnset("hfc", window, hop, rate);
        d.tempo = aubio->newTempo("default", window, hop, rate);
        d.input = aubio->newVector(hop);
        d.onsetOut = aubio->newVector(1);
        d.tempoOut = aubio->newVector(1);
        // Silence is decided here, the same way for every detector.
        aubio->onsetSetSilence(d.onset, -90.0f);
        aubio->tempoSetSilence(d.tempo, -200.0f);
    }
    d.fft = kiss_fftr_alloc(fftSize_, 0, nullptr, nullptr);
    d.spectrum.resize(static_cast<size_t>(fftSize_ / 2 + 1));
    history_.assign(static_cast<size_t>(fftSize_), 0.0f);
    windowed_.resize(static_cast<size_t>(fftSize_));
    window_.resize(static_cast<size_t>(fftSize_));
    for (int i = 0; i < fftSize_; ++i) {
        window_[static_cast<size_t>(i)] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * M_PI * i / fftSize_));
    }
    hopBuffer_.reserve(static_cast<size_t>(hop_));
}

SoundAnalyser::~SoundAnalyser() = default;

void SoundAnalyser::analyseHops(const std::vector<float>& mono, bool& onset, bool& beat) {
    Detectors& d = *detectors_;
    for (const float sample : mono) {
        hopBuffer_.push_back(sample);
        history_[historyAt_] = sample;
        historyAt_ = historyAt_ + 1 == history_.size() ? 0 : historyAt_ + 1;
        if (hopBuffer_.size() < static_cast<size_t>(hop_)) {
            continue;
        }
        if (!d.aubio) {
            hopBuffer_.clear();
            continue;
        }
        std::copy(hopBuffer_.begin(), hopBuffer_.end(), d.input->data);
        hopBuffer_.clear();
        d.aubio->onsetDo(d.onset, d.input, d.onsetOut);
        onset = onset || d.onsetOut->data[0] > 0.0f;
        d.aubio->tempoDo(d.tempo, d.input, d.tempoOut);
        // A beat placed at the very start of a step reads 0 in the output; the last beat's place moves
        // for every beat.
        const uint_t last = d.aubio->tempoGetLast(d.tempo);
        beat = beat || last != d.lastBeat;
        d.lastBeat = last;
    }
}

void SoundAnalyser::measureBands(float bands[3]) {
    Detectors& d = *detectors_;
    const size_t n = history_.size();
    // The ring from its oldest sample on.
    const size_t older = n - historyAt_;
    for (size_t i = 0; i < older; ++i) {
        windowed_[i] = history_[historyAt_ + i] * window_[i];
    }
    for (size_t i = older; i < n; ++i) {
        windowed_[i] = history_[i - older] * window_[i];
    }
    kiss_fftr(d.fft, windowed_.data(), d.spectrum.data());
    const double binHz = static_cast<double>(rate_) / fftSize_;
    double power[3] = {0.0, 0.0, 0.0};
    for (int band = 0; band < 3; ++band) {
        const auto first = static_cast<size_t>(std::ceil(bandEdges[band] / binHz));
        const auto end =
            std::min(d.spectrum.size(), static_cast<size_t>(std::ceil(bandEdges[band + 1] / binHz)));
        for (size_t bin = std::max<size_t>(first, 1); bin < end; ++bin) {
            const kiss_fft_cpx c = d.spectrum[bin];
            power[band] += static_cast<double>(c.r) * c.r + static_cast<double>(c.i) * c.i;
        }
    }
    // Scaled so that a sine's band value is its RMS, as for the level.
    const double scale = 16.0 / (3.0 * static_cast<double>(fftSize_) * fftSize_);
    for (int band = 0; band < 3; ++band) {
        bands[band] = static_cast<float>(std::sqrt(power[band] * scale));
    }
}

SoundFrame SoundAnalyser::analyse(const std::vector<float>& mono) {
    SoundFrame frame;
    frame.listening = true;
    double sum = 0.0;
    for (const float sample : mono) {
        sum += static_cast<double>(sample) * sample;
    }
    const double rms = mono.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(mono.size()));
    bool onset = false, beat = false;
    analyseHops(mono, onset, beat);
    float bands[3];
    measureBands(bands);

    // The references let go in silence as well, so that music after a pause is met at its own loudness.
    levelReference_ =
        std::max({static_cast<float>(rms), levelReference_ * referenceDecay, quietestReference});
    const float loudestBand = std::max({bandReference_[0], bandReference_[1], bandReference_[2]});
    for (int band = 0; band < 3; ++band) {
        bandReference_[band] = std::max({bands[band], bandReference_[band] * referenceDecay,
                                         loudestBand * bandFloorShare, quietestReference});
    }
    framesSinceSound_ = rms < silenceRms ? std::min(framesSinceSound_ + 1, beatHold + 1) : 0;
    if (framesSinceSound_ > beatHold) {
        beat = false;
    }
    if (rms < silenceRms) {
        onset = false;
    } else {
        frame.level = unit(static_cast<float>(rms) / levelReference_);
        frame.bass = unit(bands[0] / bandReference_[0]);
        frame.middle = unit(bands[1] / bandReference_[1]);
        frame.treble = unit(bands[2] / bandReference_[2]);
    }
    if (onset) {
        // How much louder this frame or the one before (the detector reports a frame late) is than the
        // frames before the hit, against the automatic gain: a hit out of quiet is 1, a soft note in a loud
        // passage near 0.
        const double hit = std::max(rms, recentRms_[0]);
        const double before = (recentRms_[1] + recentRms_[2] + recentRms_[3]) / 3.0;
        frame.onset = true;
        frame.onsetStrength =
            std::max(0.01f, unit(static_cast<float>(1.25 * (hit - before) / levelReference_)));
    }
    for (size_t i = recentRms_.size() - 1; i > 0; --i) {
        recentRms_[i] = recentRms_[i - 1];
    }
    recentRms_[0] = rms;
    // The tracker places its beats up to two frames before the hit: a beat is given one frame after it was
    // placed, which puts it within a frame of the hit, as the onsets are.
    std::swap(beat, pendingBeat_);
    if (beat) {
        framesSinceBeat_ = 0;
    } else if (framesSinceBeat_ != SoundFrame::neverHeard) {
        ++framesSinceBeat_;
    }
    frame.beat = beat;
    frame.framesSinceBeat = framesSinceBeat_;
    return frame;
}

} // namespace glowfield
