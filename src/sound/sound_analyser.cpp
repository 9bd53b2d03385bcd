#include "sound/sound_analyser.h"

#include <algorithm>
#include <aubio/aubio.h>
#include <cmath>
#include <kiss_fftr.h>

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
    aubio_onset_t* onset = nullptr;
    aubio_tempo_t* tempo = nullptr;
    fvec_t* input = nullptr;
    fvec_t* onsetOut = nullptr;
    fvec_t* tempoOut = nullptr;
    kiss_fftr_cfg fft = nullptr;
    std::vector<kiss_fft_cpx> spectrum;

    ~Detectors() {
        if (onset) {
            del_aubio_onset(onset);
        }
        if (tempo) {
            del_aubio_tempo(tempo);
        }
        for (fvec_t* vector : {input, onsetOut, tempoOut}) {
            if (vector) {
                del_fvec(vector);
            }
        }
        kiss_fftr_free(fft);
    }
};

SoundAnalyser::SoundAnalyser(int sampleRate)
    : rate_(std::max(sampleRate, 1000)), hop_(hopFor(rate_)), fftSize_(hop_ * 4),
      detectors_(std::make_unique<Detectors>()),
      levelReference_(quietestReference), bandReference_{quietestReference, quietestReference,
                                                         quietestReference},
      onsetReference_(0.0f) {
    const auto window = static_cast<uint_t>(hop_ * 2);
    const auto hop = static_cast<uint_t>(hop_);
    const auto rate = static_cast<uint_t>(rate_);
    Detectors& d = *detectors_;
    d.onset = new_aubio_onset("hfc", window, hop, rate);
    d.tempo = new_aubio_tempo("default", window, hop, rate);
    d.input = new_fvec(hop);
    d.onsetOut = new_fvec(1);
    d.tempoOut = new_fvec(1);
    d.fft = kiss_fftr_alloc(fftSize_, 0, nullptr, nullptr);
    d.spectrum.resize(static_cast<size_t>(fftSize_ / 2 + 1));
    // Silence is decided here, the same way for every detector.
    aubio_onset_set_silence(d.onset, -90.0f);
    aubio_tempo_set_silence(d.tempo, -90.0f);
    history_.assign(static_cast<size_t>(fftSize_), 0.0f);
    windowed_.resize(static_cast<size_t>(fftSize_));
    window_.resize(static_cast<size_t>(fftSize_));
    for (int i = 0; i < fftSize_; ++i) {
        window_[static_cast<size_t>(i)] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * M_PI * i / fftSize_));
    }
    hopBuffer_.reserve(static_cast<size_t>(hop_));
}

SoundAnalyser::~SoundAnalyser() = default;

void SoundAnalyser::analyseHops(const std::vector<float>& mono, bool& onset, float& descriptor, bool& beat) {
    Detectors& d = *detectors_;
    for (const float sample : mono) {
        hopBuffer_.push_back(sample);
        history_[historyAt_] = sample;
        historyAt_ = (historyAt_ + 1) % history_.size();
        if (hopBuffer_.size() < static_cast<size_t>(hop_)) {
            continue;
        }
        std::copy(hopBuffer_.begin(), hopBuffer_.end(), d.input->data);
        hopBuffer_.clear();
        aubio_onset_do(d.onset, d.input, d.onsetOut);
        if (d.onsetOut->data[0] > 0.0f) {
            onset = true;
            descriptor = std::max(descriptor, aubio_onset_get_descriptor(d.onset));
        }
        aubio_tempo_do(d.tempo, d.input, d.tempoOut);
        beat = beat || d.tempoOut->data[0] > 0.0f;
    }
}

void SoundAnalyser::measureBands(float bands[3]) {
    Detectors& d = *detectors_;
    const size_t n = history_.size();
    for (size_t i = 0; i < n; ++i) {
        windowed_[i] = history_[(historyAt_ + i) % n] * window_[i];
    }
    kiss_fftr(d.fft, windowed_.data(), d.spectrum.data());
    const double binHz = static_cast<double>(rate_) / fftSize_;
    double power[3] = {0.0, 0.0, 0.0};
    for (size_t bin = 1; bin < d.spectrum.size(); ++bin) {
        const double hz = bin * binHz;
        const kiss_fft_cpx c = d.spectrum[bin];
        const double p = static_cast<double>(c.r) * c.r + static_cast<double>(c.i) * c.i;
        for (int band = 0; band < 3; ++band) {
            if (hz >= bandEdges[band] && hz < bandEdges[band + 1]) {
                power[band] += p;
            }
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
    float descriptor = 0.0f;
    analyseHops(mono, onset, descriptor, beat);
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
    if (rms < silenceRms) {
        onset = beat = false;
    } else {
        frame.level = unit(static_cast<float>(rms) / levelReference_);
        frame.bass = unit(bands[0] / bandReference_[0]);
        frame.middle = unit(bands[1] / bandReference_[1]);
        frame.treble = unit(bands[2] / bandReference_[2]);
    }
    if (onset) {
        onsetReference_ = std::max(descriptor, onsetReference_ * referenceDecay);
        frame.onset = true;
        frame.onsetStrength = onsetReference_ > 0.0f ? unit(descriptor / onsetReference_) : 1.0f;
        // An onset of no measurable strength is still an onset.
        frame.onsetStrength = std::max(frame.onsetStrength, 0.01f);
    }
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
