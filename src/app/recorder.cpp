// The recorder: pictures turned into RGB frames of the video's size and handed to the chosen encoder.
#include "app/recorder.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <sys/stat.h>

#include "display/renderer.h"
#include "display/surface_writer.h"
#include "platform/ffmpeg_pipe.h"
#include "platform/memory_surface.h"
#include "platform/png_writer.h"
#include "platform/y4m_writer.h"

namespace glowfield {

namespace {

constexpr const char* encoderProgram = "ffmpeg";

// The encoder's settings after its input: codec, pixel format and colour tags, container, output file.
// Video codecs get 4:2:0 chroma in BT.709 with its tags, which every player shows with the right colours;
// a GIF gets a palette made for each frame and no dithering, so that its colours stay clean and ffmpeg need
// not hold the whole run in memory, as one palette for all frames would make it (at the cost of larger
// files).
std::vector<std::string> encoderArguments(VideoFormat format, const std::string& output,
                                          const std::string& soundPath) {
    std::vector<std::string> toYuv = {"-vf", "scale=out_color_matrix=bt709:out_range=tv,format=yuv420p",
                                      "-color_range", "tv"};
    for (const char* tag : {"-colorspace", "-color_primaries", "-color_trc"}) {
        toYuv.insert(toYuv.end(), {tag, "bt709"});
    }
    std::vector<std::string> arguments;
    switch (format) {
    case VideoFormat::mp4:
        arguments = toYuv;
        arguments.insert(arguments.end(), {"-c:v", "libx264", "-preset", "veryfast", "-crf", "18",
                                           "-movflags", "+faststart", "-f", "mp4"});
        break;
    case VideoFormat::webm:
        arguments = toYuv;
        arguments.insert(arguments.end(), {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8",
                                           "-row-mt", "1", "-crf", "30", "-b:v", "0", "-f", "webm"});
        break;
    case VideoFormat::gif:
        arguments = {"-filter_complex",
                     "split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse=new=1:dither=none",
                     "-f", "gif"};
        break;
    case VideoFormat::y4m:
        break;
    }
    if (!soundPath.empty() && videoCarriesSound(format)) {
        // The sound file is the second input; padded with silence without end, it is cut where the frames
        // end, so the sound track is as long as the video however the run ended.
        arguments.insert(arguments.begin(), {"-i", "file:" + soundPath, "-map", "0:v:0", "-map", "1:a:0"});
        arguments.insert(arguments.end(), {"-af", "apad", "-shortest"});
        if (format == VideoFormat::mp4) {
            arguments.insert(arguments.end(), {"-c:a", "aac", "-b:a", "192k"});
        } else {
            arguments.insert(arguments.end(), {"-c:a", "libopus", "-b:a", "128k"});
        }
    }
    arguments.insert(arguments.end(), {"-y", output});
    return arguments;
}

// The picture's pixels as 8-bit RGB; the player's own 32-bit layout is read directly.
void pictureToRgb(const MemorySurface& picture, std::vector<uint8_t>& rgb) {
    const PixelFormat& format = picture.format();
    if (format.bitsPerPixel != 32 || format.redMask != 0xff0000 || format.greenMask != 0xff00 ||
        format.blueMask != 0xff) {
        rgb = surfaceToRgb(picture);
        return;
    }
    rgb.resize(static_cast<size_t>(picture.width()) * static_cast<size_t>(picture.height()) * 3);
    uint8_t* out = rgb.data();
    for (int y = 0; y < picture.height(); ++y) {
        const uint8_t* in =
            picture.bytes().data() + static_cast<size_t>(y) * static_cast<size_t>(picture.pitch());
        for (int x = 0; x < picture.width(); ++x, in += 4, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
}

// The source pixel under the centre of output pixel at; of two that meet there, the first.
int64_t sourceOf(int at, int size, int outSize) {
    return ((2 * int64_t{at} + 1) * size - 1) / (2 * int64_t{outSize});
}

} // namespace

std::optional<VideoFormat> videoFormatOf(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) {
        return std::nullopt;
    }
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "y4m") {
        return VideoFormat::y4m;
    }
    if (extension == "mp4") {
        return VideoFormat::mp4;
    }
    if (extension == "webm") {
        return VideoFormat::webm;
    }
    if (extension == "gif") {
        return VideoFormat::gif;
    }
    return std::nullopt;
}

bool videoCarriesSound(VideoFormat format) {
    return format == VideoFormat::mp4 || format == VideoFormat::webm;
}

std::string missingRecordingProgram(const std::string& path) {
    const auto format = videoFormatOf(path);
    if (!format || *format == VideoFormat::y4m || !findProgram(encoderProgram, std::getenv("PATH")).empty()) {
        return {};
    }
    return encoderProgram;
}

bool parseVideoSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) {
        return false;
    }
    const auto whole = [](const char* first, const char* last, int& value) {
        const auto [end, error] = std::from_chars(first, last, value);
        return first != last && error == std::errc() && end == last;
    };
    int w = 0, h = 0;
    if (!whole(text.data(), text.data() + x, w) ||
        !whole(text.data() + x + 1, text.data() + text.size(), h) || w % 2 != 0 || h % 2 != 0 || w < 16 ||
        h < 16 || w > 7680 || h > 4320) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

void scaleNearest(const uint8_t* rgb, int width, int height, uint8_t* out, int outWidth, int outHeight) {
    std::vector<size_t> columns(static_cast<size_t>(outWidth));
    for (int x = 0; x < outWidth; ++x) {
        columns[static_cast<size_t>(x)] = static_cast<size_t>(sourceOf(x, width, outWidth)) * 3;
    }
    for (int y = 0; y < outHeight; ++y) {
        const int64_t sourceY = sourceOf(y, height, outHeight);
        const uint8_t* row = rgb + static_cast<size_t>(sourceY) * static_cast<size_t>(width) * 3;
        for (const size_t column : columns) {
            *out++ = row[column];
            *out++ = row[column + 1];
            *out++ = row[column + 2];
        }
    }
}

Recorder::Recorder(std::string path, int width, int height)
    : path_(std::move(path)), width_(width), height_(height) {}

std::unique_ptr<Recorder> Recorder::start(const std::string& path, int width, int height, std::string& error,
                                          const std::string& soundPath) {
    const auto format = videoFormatOf(path);
    if (!format) {
        error = "cannot record " + path + ": not a .y4m, .mp4, .webm or .gif file";
        return nullptr;
    }
    std::unique_ptr<Recorder> recorder(new Recorder(path, width, height));
    if (!createTemporaryFile(path, recorder->file_, error)) {
        return nullptr;
    }
    std::string reason;
    if (*format == VideoFormat::y4m) {
        auto writer = std::make_unique<Y4mWriter>(recorder->file_.descriptor, width, height);
        if (writer->begin(reason)) {
            recorder->sink_ = std::move(writer);
        }
    } else if (const std::string program = findProgram(encoderProgram, std::getenv("PATH"));
               program.empty()) {
        reason = "the program ffmpeg is not on PATH";
    } else {
        recorder->sink_ = FfmpegPipe::start(
            program, width, height, encoderArguments(*format, recorder->file_.path, soundPath), reason);
    }
    if (!recorder->sink_) {
        error = "cannot record " + path + ": " + reason;
        return nullptr;
    }
    return recorder;
}

Recorder::~Recorder() {
    abandon();
}

void Recorder::abandon() {
    if (!finished_) {
        finished_ = true;
        // The encoder is ended, not waited for, and nothing replaces the target.
        sink_.reset();
        discardTemporaryFile(file_);
    }
}

void Recorder::setPatience(std::function<bool()> giveUp) {
    if (sink_) {
        sink_->setPatience(std::move(giveUp));
    }
}

void Recorder::addFrame(const MemorySurface& picture) {
    if (failed_ || finished_) {
        return;
    }
    pictureToRgb(picture, rgb_);
    if (overlay_ && picture.width() == displayWidth && picture.height() == displayHeight) {
        overlay_(rgb_.data(), displayWidth * 3);
    }
    const uint8_t* frame = rgb_.data();
    if (picture.width() != width_ || picture.height() != height_) {
        scaled_.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3);
        scaleNearest(rgb_.data(), picture.width(), picture.height(), scaled_.data(), width_, height_);
        frame = scaled_.data();
    }
    if (!sink_->writeFrame(frame, failure_)) {
        failed_ = true;
        return;
    }
    ++frames_;
}

MemorySurface& Recorder::drawPicture() {
    if (!ownPicture_) {
        ownPicture_ = std::make_shared<MemorySurface>(displayWidth, displayHeight, PixelFormat{});
        ownWriter_ = std::make_unique<SurfaceWriter>();
        ownWriter_->initialise(ownPicture_, std::make_shared<MemoryDevice>());
    }
    if (!ownWriter_->initialised()) {
        return *ownPicture_;
    }
    SurfaceWriter* const previous = renderer.writer;
    setRenderTarget(ownWriter_.get());
    renderField();
    setRenderTarget(previous);
    return *ownPicture_;
}

bool Recorder::finish(std::string& error) {
    if (finished_) {
        error = failure_;
        return !failed_;
    }
    finished_ = true;
    std::string reason;
    // The encoder's own account of a failure says more than the broken pipe that revealed it.
    bool encoded = sink_->finish(reason);
    sink_.reset();
    if (encoded && failed_) {
        reason = failure_;
    }
    // An encoder that ended well without writing a byte made no video either.
    struct stat written {};
    if (encoded && !failed_ && fstat(file_.descriptor, &written) == 0 && written.st_size == 0) {
        encoded = false;
        reason = "ffmpeg ended without writing the video";
    }
    if (!encoded || failed_ || !commitTemporaryFile(file_, reason)) {
        failed_ = true;
        discardTemporaryFile(file_);
        failure_ = error = "cannot record " + path_ + ": " + reason;
        return false;
    }
    return true;
}

} // namespace glowfield
