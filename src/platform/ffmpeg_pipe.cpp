// Starting the encoder with posix_spawn, feeding it frames and collecting its verdict.
#include "platform/ffmpeg_pipe.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/atomic_file.h"

extern char** environ;

namespace glowfield {

namespace {

// A pipe of 1 MiB (the usual limit for ordinary users) lets the encoder fall a frame behind without stalling
// the player; a smaller pipe still works.
constexpr int wantedPipeBytes = 1 << 20;

int openLog() {
    const char* folder = std::getenv("TMPDIR");
    std::string name = std::string(folder && *folder ? folder : "/tmp") + "/glowfield-ffmpeg-XXXXXX";
    const int descriptor = mkostemp(name.data(), O_CLOEXEC);
    if (descriptor >= 0) {
        unlink(name.c_str());
    }
    return descriptor;
}

// The last non-empty line the program wrote to its log, without control characters.
std::string lastLogLine(int log) {
    std::string text;
    char buffer[4096];
    const off_t size = lseek(log, 0, SEEK_END);
    const off_t from = std::max<off_t>(0, size - static_cast<off_t>(sizeof buffer));
    const ssize_t got = pread(log, buffer, sizeof buffer, from);
    if (got > 0) {
        text.assign(buffer, static_cast<size_t>(got));
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    if (const size_t lineEnd = text.find_last_of("\r\n"); lineEnd != std::string::npos) {
        text.erase(0, lineEnd + 1);
    }
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    return text;
}

} // namespace

std::unique_ptr<FfmpegPipe> FfmpegPipe::start(const std::string& program, int width, int height,
                                              const std::vector<std::string>& outputArguments,
                                              std::string& error) {
    std::unique_ptr<FfmpegPipe> encoder(new FfmpegPipe(width, height));
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    encoder->pipe_ = ends[1];
    fcntl(encoder->pipe_, F_SETPIPE_SZ, wantedPipeBytes);
    // Writes never block: between the parts of a frame the player looks whether it should stop waiting.
    fcntl(encoder->pipe_, F_SETFL, fcntl(encoder->pipe_, F_GETFL) | O_NONBLOCK);
    encoder->log_ = openLog();
    if (encoder->log_ < 0) {
        error = std::string("no temporary file for ffmpeg's messages: ") + std::strerror(errno);
        ::close(ends[0]);
        return nullptr;
    }

    std::vector<std::string> arguments = {program,
                                          "-hide_banner",
                                          "-nostats",
                                          "-loglevel",
                                          "error",
                                          "-f",
                                          "rawvideo",
                                          "-pix_fmt",
                                          "rgb24",
                                          "-video_size",
                                          std::to_string(width) + "x" + std::to_string(height),
                                          "-framerate",
                                          std::to_string(videoFramesPerSecond),
                                          "-i",
                                          "pipe:0"};
    arguments.insert(arguments.end(), outputArguments.begin(), outputArguments.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, encoder->log_, STDERR_FILENO);
    // Its own process group keeps the terminal's Ctrl-C away from it; the signals the player ignores or
    // handles are its defaults again.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT}) {
        sigaddset(&defaults, signal);
    }
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    const int spawned =
        posix_spawn(&encoder->child_, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[0]);
    if (spawned != 0) {
        encoder->child_ = -1;
        error = "cannot start " + program + ": " + std::strerror(spawned);
        return nullptr;
    }
    return encoder;
}

FfmpegPipe::~FfmpegPipe() {
    if (child_ > 0) {
        endProgram();
    }
    std::string ignored;
    finish(ignored);
}

void FfmpegPipe::endProgram() {
    if (pipe_ >= 0) {
        ::close(pipe_);
        pipe_ = -1;
    }
    if (child_ > 0) {
        // The group's id is the program's pid, which stays taken until the program is collected.
        kill(-child_, SIGKILL);
        while (waitpid(child_, nullptr, 0) < 0 && errno == EINTR) {
        }
        child_ = -1;
    }
}

bool FfmpegPipe::writeFrame(const uint8_t* rgb, std::string& error) {
    if (pipe_ < 0) {
        error = abandoned_.empty() ? "ffmpeg has finished" : abandoned_;
        return false;
    }
    const uint8_t* data = rgb;
    size_t size = static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3;
    while (size > 0) {
        const ssize_t written = ::write(pipe_, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<size_t>(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) {
            error = std::string("ffmpeg stopped reading frames (") + std::strerror(errno) + ")";
            return false;
        }
        if (givingUp()) {
            abandoned_ = error = "ffmpeg stopped taking frames, so it was ended";
            endProgram();
            return false;
        }
        pollfd ready{pipe_, POLLOUT, 0};
        poll(&ready, 1, 50);
    }
    return true;
}

bool FfmpegPipe::finish(std::string& error) {
    if (pipe_ >= 0) {
        ::close(pipe_);
        pipe_ = -1;
    }
    int status = 0;
    pid_t ended = 0;
    // The file is not done until the program ends; once the run must end, it is not waited for longer.
    while (child_ > 0 && abandoned_.empty() &&
           ((ended = waitpid(child_, &status, WNOHANG)) == 0 || (ended < 0 && errno == EINTR))) {
        if (givingUp()) {
            abandoned_ = "ffmpeg did not finish the video in time, so it was ended";
            endProgram();
            break;
        }
        usleep(10000);
    }
    bool ok = true;
    if (!abandoned_.empty()) {
        error = abandoned_;
        ok = false;
    } else if (child_ > 0) {
        child_ = -1;
        if (ended < 0) {
            error = std::string("lost track of ffmpeg: ") + std::strerror(errno);
            ok = false;
        } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            const std::string message = log_ >= 0 ? lastLogLine(log_) : "";
            std::ostringstream reason;
            reason << "ffmpeg ";
            if (WIFSIGNALED(status)) {
                reason << "was ended by signal " << WTERMSIG(status);
            } else {
                reason << "failed with exit code " << WEXITSTATUS(status);
            }
            if (!message.empty()) {
                reason << ": " << message;
            }
            error = reason.str();
            ok = false;
        }
    }
    if (log_ >= 0) {
        ::close(log_);
        log_ = -1;
    }
    return ok;
}

std::string findProgram(const std::string& name, const char* searchPath) {
    std::stringstream folders(searchPath ? searchPath : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        const std::string path = (folder.empty() ? "." : folder) + "/" + name;
        struct stat info {};
        if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    return {};
}

} // namespace glowfield
