// Reading the file with libsndfile and queueing it ahead on SDL's audio device.
#include "platform/sound_player.h"

#include <SDL.h>
#include <algorithm>
#include <sndfile.h>

namespace glowfield {

namespace {

// The sound queued ahead of what is heard: enough to ride out a slow frame, and no more, so that a stop is
// heard at once.
constexpr double leadSeconds = 0.15;
// Frames of 20 ms, as the frame loop steps.
constexpr double frameSeconds = 0.02;

} // namespace

std::unique_ptr<SoundPlayer> SoundPlayer::open(const std::string& path, std::string& error) {
    std::unique_ptr<SoundPlayer> player(new SoundPlayer);
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot play " + path + ": " + sf_strerror(nullptr);
        return nullptr;
    }
    player->file_ = file;
    player->rate_ = info.samplerate;
    player->channels_ = std::clamp(info.channels, 1, 8);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no sound device: ") + SDL_GetError();
        return nullptr;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = info.samplerate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = static_cast<Uint8>(player->channels_);
    // About 10 ms: the device's position, and so the frames, move in steps of this.
    wanted.samples = static_cast<Uint16>(std::clamp(info.samplerate / 100, 64, 4096));
    SDL_AudioSpec got{};
    player->device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &got, 0);
    if (player->device_ == 0) {
        error = std::string("no sound device: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    // SDL converts to the device's own buffer; its size in the file's frames is what the device holds.
    player->bufferFrames_ = static_cast<int>(static_cast<double>(got.samples) * info.samplerate / got.freq);
    player->feed();
    return player;
}

SoundPlayer::~SoundPlayer() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    if (file_) {
        sf_close(static_cast<SNDFILE*>(file_));
    }
}

void SoundPlayer::feed() {
    const auto frameBytes = static_cast<Uint32>(sizeof(float) * static_cast<size_t>(channels_));
    const auto lead = static_cast<Uint32>(leadSeconds * rate_) * frameBytes;
    while (SDL_GetQueuedAudioSize(device_) < lead) {
        const auto wanted = static_cast<sf_count_t>(rate_ / 100);
        chunk_.assign(static_cast<size_t>(wanted) * static_cast<size_t>(channels_), 0.0f);
        if (!ended_ && sf_readf_float(static_cast<SNDFILE*>(file_), chunk_.data(), wanted) < wanted) {
            ended_ = true; // the part read stays; the rest of the chunk is silence
        }
        if (SDL_QueueAudio(device_, chunk_.data(), static_cast<Uint32>(chunk_.size() * sizeof(float))) != 0) {
            return;
        }
        queuedFrames_ += static_cast<uint64_t>(wanted);
    }
}

double SoundPlayer::playedSeconds() const {
    const Uint32 queued = SDL_GetQueuedAudioSize(device_) / static_cast<Uint32>(sizeof(float) * channels_);
    const double taken = static_cast<double>(queuedFrames_) - queued;
    // Negative until the device has taken its first buffer: not even the first frame is due before.
    return (taken - bufferFrames_) / rate_;
}

bool SoundPlayer::frameDue(uint64_t frame) {
    feed();
    if (!started_) {
        started_ = true;
        SDL_PauseAudioDevice(device_, 0);
        lastMoved_ = SDL_GetTicks64();
    }
    const double played = playedSeconds();
    const uint64_t now = SDL_GetTicks64();
    if (played != lastPlayed_) {
        lastPlayed_ = played;
        lastMoved_ = now;
    } else if (now - lastMoved_ > 500 || SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED) {
        stalled_ = true;
        return true;
    }
    return played >= static_cast<double>(frame) * frameSeconds;
}

int SoundPlayer::waitMilliseconds(uint64_t frame) const {
    const double ahead = static_cast<double>(frame) * frameSeconds - playedSeconds();
    return std::clamp(static_cast<int>(ahead * 1000.0), 1, 5);
}

} // namespace glowfield
