// The reading thread, the ring buffer it fills, and the server's list of sources.
#include "platform/pulse_source.h"

#include <algorithm>
#include <chrono>
#include <pulse/error.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/simple.h>

namespace glowfield {

namespace {

constexpr const char* clientName = "glowfield";
constexpr int frameSamples = PulseSource::rate / 50;
// Half a second of sound: far more than a frame loop that keeps up ever leaves unread.
constexpr size_t ringSamples = PulseSource::rate / 2;
// The server hands the thread 10 ms at a time, so that a frame's sound arrives within its frame.
constexpr int readSamples = PulseSource::rate / 100;

PulseFailure failureOf(int code) {
    switch (code) {
    case PA_ERR_CONNECTIONREFUSED:
    case PA_ERR_INVALIDSERVER:
    case PA_ERR_CONNECTIONTERMINATED:
    case PA_ERR_TIMEOUT:
    case PA_ERR_ACCESS:
        return PulseFailure::noServer;
    case PA_ERR_NOENTITY:
        return PulseFailure::noSuchSource;
    default:
        return PulseFailure::other;
    }
}

std::string reasonOf(PulseFailure failure, int code, const std::string& source) {
    switch (failure) {
    case PulseFailure::noServer:
        return std::string("no sound server answered (") + pa_strerror(code) + ")";
    case PulseFailure::noSuchSource:
        return "the sound server has no source named '" + source + "' (see --list-audio-sources)";
    default:
        return "the sound server refused to record '" + source + "' (" + pa_strerror(code) + ")";
    }
}

} // namespace

std::unique_ptr<PulseSource> PulseSource::open(const std::string& source, PulseFailure& failure,
                                               std::string& error) {
    const std::string name = source.empty() ? defaultMonitorSource : source;
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, static_cast<uint32_t>(rate), 1};
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.fragsize = static_cast<uint32_t>(readSamples * sizeof(float));
    int code = 0;
    pa_simple* stream = pa_simple_new(nullptr, clientName, PA_STREAM_RECORD, name.c_str(), "listening", &spec,
                                      nullptr, &attributes, &code);
    if (!stream) {
        failure = failureOf(code);
        error = reasonOf(failure, code, name);
        return nullptr;
    }
    failure = PulseFailure::none;
    return std::unique_ptr<PulseSource>(new PulseSource(stream));
}

PulseSource::State::~State() {
    pa_simple_free(stream);
}

namespace {

void readLoop(PulseSource::State& state) {
    std::vector<float> chunk(readSamples);
    while (!state.stopping) {
        int code = 0;
        if (pa_simple_read(state.stream, chunk.data(), chunk.size() * sizeof(float), &code) < 0) {
            state.lost = true;
            break;
        }
        std::lock_guard lock(state.mutex);
        for (const float sample : chunk) {
            // When the frame loop has not taken the oldest samples for half a second, they make room.
            if (state.count == state.ring.size()) {
                state.start = (state.start + 1) % state.ring.size();
                --state.count;
            }
            state.ring[(state.start + state.count++) % state.ring.size()] = std::clamp(sample, -1.0f, 1.0f);
        }
    }
    state.finished = true;
}

} // namespace

PulseSource::PulseSource(pa_simple* stream) : state_(std::make_shared<State>()) {
    state_->stream = stream;
    state_->ring.resize(ringSamples);
    reader_ = std::thread([state = state_] { readLoop(*state); });
}

PulseSource::~PulseSource() {
    // A read returns within its 10 ms, or at once with an error when the server is gone; one the server
    // never answers is not waited for.
    state_->stopping = true;
    for (int wait = 0; wait < 50 && !state_->finished; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (state_->finished) {
        reader_.join();
    } else {
        reader_.detach();
    }
}

bool PulseSource::nextFrame(std::vector<float>& mono) {
    mono.assign(frameSamples, 0.0f);
    State& state = *state_;
    std::lock_guard lock(state.mutex);
    // After a stall of the frame loop the sound it missed is skipped: frames show what is heard now, with
    // a frame's margin kept for the server's uneven deliveries.
    if (state.count > 3 * frameSamples) {
        const size_t skipped = state.count - 2 * frameSamples;
        state.start = (state.start + skipped) % state.ring.size();
        state.count -= skipped;
    }
    const size_t taken = std::min<size_t>(state.count, frameSamples);
    for (size_t i = 0; i < taken; ++i) {
        mono[i] = state.ring[(state.start + i) % state.ring.size()];
    }
    state.start = (state.start + taken) % state.ring.size();
    state.count -= taken;
    return true;
}

namespace {

struct Listing {
    std::vector<std::string>* names;
    bool done = false;
};

} // namespace

bool listPulseSources(std::vector<std::string>& names, PulseFailure& failure, std::string& error) {
    pa_mainloop* loop = pa_mainloop_new();
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), clientName);
    bool ok = context && pa_context_connect(context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) >= 0;
    // Runs the loop until the connection is ready or has failed.
    while (ok) {
        const pa_context_state_t state = pa_context_get_state(context);
        if (state == PA_CONTEXT_READY) {
            break;
        }
        if (!PA_CONTEXT_IS_GOOD(state) || pa_mainloop_iterate(loop, 1, nullptr) < 0) {
            ok = false;
        }
    }
    if (!ok) {
        const int code = context ? pa_context_errno(context) : PA_ERR_INTERNAL;
        failure = PulseFailure::noServer;
        error = reasonOf(failure, code, "");
    } else {
        Listing listing{&names};
        auto collect = [](pa_context*, const pa_source_info* info, int last, void* data) {
            auto* into = static_cast<Listing*>(data);
            if (last != 0) {
                into->done = true;
            } else if (info && info->name) {
                into->names->push_back(info->name);
            }
        };
        pa_operation* operation = pa_context_get_source_info_list(context, collect, &listing);
        while (operation && !listing.done && pa_mainloop_iterate(loop, 1, nullptr) >= 0) {
        }
        if (operation) {
            pa_operation_unref(operation);
        }
        if (!listing.done) {
            ok = false;
            failure = PulseFailure::noServer;
            error = reasonOf(failure, pa_context_errno(context), "");
        }
    }
    if (context) {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    pa_mainloop_free(loop);
    if (ok) {
        failure = PulseFailure::none;
    }
    return ok;
}

} // namespace glowfield
