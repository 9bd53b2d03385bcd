#include "platform/sound_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include <sndfile.h>

namespace glowfield {

namespace {

constexpr int framesPerSecond = 50;
constexpr size_t readBlock = 4096; // samples per channel read at a time

SNDFILE* handleOf(void* file) {
    return static_cast<SNDFILE*>(file);
}

// The first sample of frame k: frames start on whole samples, and the remainder of rate / 50 is carried.
int64_t frameStart(uint64_t frame, int rate) {
    return static_cast<int64_t>(frame * static_cast<uint64_t>(rate) / framesPerSecond);
}

// A file whose header promises more sound than it holds was cut short: libsndfile notes such a data chunk as
// "data : 882000 (should be 399956)". A header written before the length was known (0 or all ones, as
// streaming writers leave it) promises nothing.
bool promisesMore(const std::string& log) {
    const size_t at = log.find("data : ");
    if (at == std::string::npos) {
        return false;
    }
    unsigned long long declared = 0, actual = 0;
    if (std::sscanf(log.c_str() + at, "data : %llu (should be %llu)", &declared, &actual) != 2) {
        return false;
    }
    return declared > actual && declared != 0 && declared < 0xffffff00ull;
}

} // namespace

std::unique_ptr<SoundFile> SoundFile::open(const std::string& path, std::string& error) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    if (S_ISDIR(status.st_mode)) {
        error = "it is a folder";
        return nullptr;
    }
    SF_INFO info{};
    SNDFILE* handle = sf_open(path.c_str(), SFM_READ, &info);
    if (!handle) {
        // libsndfile's own words, as one line without its closing full stop.
        error = sf_strerror(nullptr);
        for (char& c : error) {
            c = c == '\n' ? ' ' : c;
        }
        while (!error.empty() && (error.back() == '.' || error.back() == ' ')) {
            error.pop_back();
        }
        return nullptr;
    }
    std::unique_ptr<SoundFile> file(new SoundFile);
    file->file_ = handle;
    if (info.samplerate < 1000 || info.samplerate > 384000 || info.channels < 1 || info.channels > 64) {
        error = "unsupported sample rate or number of channels";
        return nullptr;
    }
    file->rate_ = info.samplerate;
    file->channels_ = info.channels;
    file->totalSamples_ = info.frames;
    // Float samples in -1..1 whatever the file holds.
    sf_command(handle, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    char log[4096] = {};
    sf_command(handle, SFC_GET_LOG_INFO, log, sizeof log);
    if (promisesMore(log)) {
        error = "the file is truncated";
        return nullptr;
    }
    if (!file->fill(readBlock) || (info.frames > 0 && file->pending_.empty())) {
        error = "the sound cannot be decoded";
        return nullptr;
    }
    return file;
}

SoundFile::~SoundFile() {
    if (file_) {
        sf_close(handleOf(file_));
    }
}

// Reads until pending_ holds wanted samples or the file ends; false on a read error.
bool SoundFile::fill(size_t wanted) {
    while (pending_.size() < wanted && !failed_) {
        interleaved_.resize(readBlock * static_cast<size_t>(channels_));
        const sf_count_t got = sf_readf_float(handleOf(file_), interleaved_.data(), readBlock);
        if (got <= 0) {
            failed_ = sf_error(handleOf(file_)) != SF_ERR_NO_ERROR;
            break;
        }
        for (sf_count_t i = 0; i < got; ++i) {
            // The channels' mean in double, so that the mix is the same sum on every build.
            double sum = 0.0;
            for (int c = 0; c < channels_; ++c) {
                sum += interleaved_[static_cast<size_t>(i) * channels_ + c];
            }
            pending_.push_back(static_cast<float>(sum / channels_));
        }
        if (got < static_cast<sf_count_t>(readBlock)) {
            break;
        }
    }
    return !failed_;
}

bool SoundFile::nextFrame(std::vector<float>& mono) {
    const int64_t start = frameStart(frame_, rate_);
    const auto length = static_cast<size_t>(frameStart(frame_ + 1, rate_) - start);
    fill(length);
    if (pending_.empty()) {
        return false;
    }
    mono.assign(length, 0.0f);
    const size_t taken = pending_.size() < length ? pending_.size() : length;
    std::copy(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(taken), mono.begin());
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(taken));
    ++frame_;
    return true;
}

uint64_t SoundFile::frameCount() const {
    // Frames that start before the last sample.
    uint64_t frames = static_cast<uint64_t>(totalSamples_) * framesPerSecond / static_cast<uint64_t>(rate_);
    while (frameStart(frames, rate_) < totalSamples_) {
        ++frames;
    }
    return frames;
}

} // namespace glowfield
