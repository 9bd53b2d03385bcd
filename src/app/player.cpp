#include "app/player.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "app/display_setup.h"
#include "app/effect_list.h"
#include "app/field_dump.h"
#include "app/fps_label.h"
#include "app/frame_log.h"
#include "app/frame_loop.h"
#include "app/label_texture.h"
#include "app/listening.h"
#include "app/live_sound.h"
#include "app/monitors.h"
#include "app/name_label.h"
#include "app/progress.h"
#include "app/recorder.h"
#include "app/sdl_events.h"
#include "app/stop_guard.h"
#include "app/switching.h"
#include "app/tick_schedule.h"
#include "display/renderer.h"
#include "display/surface_writer.h"
#include "effects/effect_state.h"
#include "field/picture.h"
#include "field/picture_loader.h"
#include "platform/atomic_file.h"
#include "platform/memory_surface.h"
#include "platform/png_writer.h"
#include "platform/report_error.h"
#include "platform/sound_player.h"

namespace glowfield {

namespace {

bool stopRequested(const Session& session) {
    return session.quitRequested || stopSignalled() || session.x11.hostGone() ||
           liveSourceLost(session.liveSource);
}

// While the encoder makes the player wait: the stop requests count from when they are first seen.
bool encoderPatienceRunsOut(const Session& session) {
    return patienceRunsOut(stopRequested(session));
}

// Milliseconds on a clock that never jumps, from the first call of the run.
class RunClock {
  public:
    double now() const {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Recordings show their progress on a terminal, and so do headless runs of a given length that take a while.
ProgressLine progressOf(const Options& options) {
    if (!options.recordPath.empty()) {
        return ProgressLine::onTerminal("recording", "frames", options.frames.value_or(0));
    }
    if (options.headless && options.frames) {
        return ProgressLine::onTerminal("headless", "frames", *options.frames, 2.0);
    }
    return {};
}

struct RunState {
    explicit RunState(const Options& runOptions) : progress(progressOf(runOptions)) {
        session.options = runOptions;
    }

    Session session; // its watch of the X server is what the X error handlers reach while the run lasts
    const Options& options = session.options;
    std::unique_ptr<Recorder>& recorder = session.recorder;
    RunClock clock;
    FrameLog log;
    uint64_t frames = 0;
    NameLabel label;
    uint64_t labelFrame = UINT64_MAX; // the frame counter the label last saw
    FpsLabel fps;                     // fed only with --fps, and shown only once fed

    // The label counts frame steps, not presents or recorded frames: a redraw for an event does not shorten
    // its time on screen, and a recorded frame shows what the window showed.
    void updateLabel() {
        if (labelFrame != shared.frameCounter) {
            labelFrame = shared.frameCounter;
            label.update(shared.currentEffect & 0xff, session.locked, session.namesShown);
        }
    }
    std::unique_ptr<SoundPlayer> sound;       // a sound file played aloud, whose clock paces the frames
    MemorySurface* headlessPicture = nullptr; // the surface headless frames are drawn into
    ProgressLine progress;
    DisplayWatchdog* watchdog = nullptr; // while a windowed run's display may block the frame thread

    // A windowed run's copy of what its outputs need after each whole frame, for the watchdog to write when
    // the display stopped answering: the picture with --screenshot, the field with --dump-field.
    struct LastFrame {
        bool kept = false; // the field has been prepared
        std::shared_ptr<MemorySurface> picture;
        std::unique_ptr<SurfaceWriter> writer;
        std::vector<uint8_t> field;
    } last;

    void keepLastFrame() {
        last.kept = true;
        if (!watchdog) {
            return;
        }
        if (!options.screenshotPath.empty()) {
            if (!last.picture) {
                last.picture = std::make_shared<MemorySurface>(displayWidth, displayHeight, PixelFormat{});
                last.writer = std::make_unique<SurfaceWriter>();
                last.writer->initialise(last.picture, std::make_shared<MemoryDevice>());
            }
            SurfaceWriter* const previous = renderer.writer;
            setRenderTarget(last.writer.get());
            renderField();
            setRenderTarget(previous);
        }
        if (!options.dumpFieldPath.empty()) {
            last.field = dumpField();
        }
    }

    // Work of the frame thread's own between display calls; it ends here if the watchdog has taken over.
    void beginOwnWork() {
        if (watchdog && !watchdog->beginOwnWork()) {
            DisplayWatchdog::waitToBeEnded();
        }
    }
    void endOwnWork() {
        if (watchdog) {
            watchdog->endOwnWork();
        }
    }

    // A failed recording ends the run as well: its frames would go nowhere.
    bool framesDone() const {
        return (options.frames && frames >= *options.frames) || (!options.frames && soundEnded()) ||
               (recorder && recorder->failed());
    }

    void tick() {
        const double start = clock.now();
        const bool drawn = renderer.writer != nullptr;
        timerTick(session);
        ++frames;
        const double took = clock.now() - start;
        log.write(start, took, drawn);
        if (options.fps) {
            fps.frame(start, took);
        }
        afterFrame();
    }

    // The presented picture becomes the recording's next frame: the headless surface, or for a window the
    // field drawn once more into memory.
    void afterFrame() {
        beginOwnWork();
        if (recorder) {
            recorder->addFrame(headlessPicture ? *headlessPicture : recorder->drawPicture());
        }
        keepLastFrame();
        progress.update(frames);
        endOwnWork();
    }
};

// The windowed player sleeps most of each 20 ms and must wake on time. On a busy machine the scheduler may
// let the running task finish its time slice first, which delays a tick by milliseconds; a short slice
// requested for the player makes it run as soon as it wakes, without taking a larger share of the CPU.
// Kernels without per-task slices ignore the request, and a policy or nice value chosen by the user is kept.
void requestShortSlices() {
#if defined(SYS_sched_getattr) && defined(SYS_sched_setattr)
    // The kernel's struct sched_attr in its first version (the C library offers no declaration).
    struct SchedulingAttributes {
        uint32_t size;
        uint32_t policy;
        uint64_t flags;
        int32_t nice;
        uint32_t priority;
        uint64_t runtime; // for the normal policy: the time slice asked for, in nanoseconds
        uint64_t deadline;
        uint64_t period;
    };
    static_assert(sizeof(SchedulingAttributes) == 48);
    constexpr uint64_t sliceNanoseconds = 500'000;
    SchedulingAttributes attributes{};
    if (syscall(SYS_sched_getattr, 0, &attributes, sizeof attributes, 0) != 0 ||
        attributes.policy != SCHED_OTHER) {
        return;
    }
    attributes.size = sizeof attributes;
    attributes.flags = 0;
    attributes.runtime = sliceNanoseconds;
    syscall(SYS_sched_setattr, 0, &attributes, 0);
#endif
}

// Start-up after the display: seed, start-up noise, sine table, and the starting effect.
void prepareRun(Session& session) {
    const Options& options = session.options;
    // The calendar time in seconds, kept to its low 32 bits as the generator's seed.
    const auto clockSeed = static_cast<int32_t>(static_cast<uint32_t>(std::time(nullptr)));
    prepareField(options.seed.value_or(clockSeed));
    setPlayableEntries(session, switchingEntries(options.playable, options.allowFlashing));
    shared.switchPeriod = switchPeriodFrames(options.switchSeconds);
    session.locked = options.locked;
    session.namesShown = options.names;
    if (options.effect) {
        startWithEffect(session, *options.effect);
    } else if (options.startEffect) {
        startSwitchingFrom(*options.startEffect);
    }
}

// Frames are drawn only while the window shows and has a renderer.
void updateRenderTarget(const PlayerDisplay& display, SurfaceWriter& writer) {
    setRenderTarget(display.hidden || display.rendererLost ? nullptr : &writer);
}

// Draws the current field again, as the frame step's render would; "1" in the log when it reached the
// display.
const char* redraw() {
    renderField();
    return renderer.writer ? "1" : "0";
}

void makeRendererAgain(PlayerDisplay& display, SurfaceWriter& writer, FrameLog& log) {
    const bool failedBefore = display.rendererLost;
    if (display.labelTexture) {
        display.labelTexture->forget(display.renderer);
    }
    if (recreateRenderer(display)) {
        log.writeEvent("renderer-made", rendererName(display.renderer));
    } else if (!failedBefore) {
        std::string reason = SDL_GetError();
        std::replace_if(
            reason.begin(), reason.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
        std::fprintf(
            stderr,
            "glowfield: the display's renderer could not be made again (%s); trying again every second\n",
            reason.c_str());
        log.writeEvent("renderer-failed", "");
    }
    updateRenderTarget(display, writer);
}

} // namespace

void dispatchEvent(Session& session, const SDL_Event& event, PlayerDisplay& display, SurfaceWriter& writer,
                   FrameLog& log) {
    // A mirror on another monitor may be hidden or lose its focus without the player's own window doing so.
    if (event.type == SDL_WINDOWEVENT && display.window &&
        event.window.windowID != SDL_GetWindowID(display.window) &&
        event.window.event != SDL_WINDOWEVENT_CLOSE) {
        return;
    }
    if (display.hosted) {
        // The host owns the input: keys and the mouse are not the player's.
        if (hostWindowClosed(event, session.x11)) {
            session.quitRequested = true;
            log.writeEvent("host-window-closed", "");
        }
        if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP || event.type == SDL_TEXTINPUT ||
            event.type == SDL_MOUSEMOTION || event.type == SDL_MOUSEBUTTONDOWN ||
            event.type == SDL_MOUSEBUTTONUP || event.type == SDL_MOUSEWHEEL) {
            return;
        }
    }
    const bool isKey = event.type == SDL_KEYDOWN || event.type == SDL_TEXTINPUT;
    const double redSumBefore = isKey && log.active() ? FrameLog::redSum() : 0;
    switch (handleEvent(session, event)) {
    case EventOutcome::redraw:
        log.writeEvent("activated", redraw());
        break;
    case EventOutcome::hidden:
        display.hidden = true;
        updateRenderTarget(display, writer);
        log.writeEvent("hidden", "");
        break;
    case EventOutcome::shown:
        display.hidden = false;
        updateRenderTarget(display, writer);
        log.writeEvent("shown", redraw());
        break;
    case EventOutcome::texturesLost:
        if (display.surface) {
            display.surface->markLost();
        }
        log.writeEvent("textures-lost", "");
        break;
    case EventOutcome::deviceLost:
        log.writeEvent("device-lost", "");
        makeRendererAgain(display, writer, log);
        break;
    case EventOutcome::none:
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            log.writeEvent("deactivated", "");
        }
        // Whatever uncovered or resized the window, its bars are drawn and all of it is sent again.
        if (event.type == SDL_WINDOWEVENT && display.surface &&
            (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
             event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
            display.surface->invalidateOutput();
        }
        if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED &&
            limitWindowSize(display)) {
            log.writeEvent("size-limited", "");
        }
        break;
    }
    if (event.type == SDL_KEYDOWN) {
        log.writeKey("down", event.key.keysym.sym, redSumBefore);
    } else if (event.type == SDL_TEXTINPUT) {
        log.writeKey("text", static_cast<unsigned char>(event.text.text[0]), redSumBefore);
    }
}

void prepareTick(PlayerDisplay& display, SurfaceWriter& writer, FrameLog& log) {
    if (!display.rendererLost) {
        display.ticksWithoutRenderer = 0;
        return;
    }
    if (++display.ticksWithoutRenderer >= rendererRetryTicks) {
        display.ticksWithoutRenderer = 0;
        makeRendererAgain(display, writer, log);
    }
}

namespace {

// Waiting input runs before a due tick, as window messages come before a timer's; between ticks the loop
// sleeps in SDL_WaitEventTimeout until the next tick or the next event, so a minimised or unfocused player
// wakes only for those; after a stall (a stopped process, a suspended machine) one tick runs, not the missed
// ones.
void runWindowedLoop(RunState& run, PlayerDisplay& display, SurfaceWriter& writer) {
    TickSchedule schedule{run.clock.now() + firstTickDelay, tickInterval};
    SDL_Event event;
    int titledEntry = -1;
    for (;;) {
        while (!stopRequested(run.session) && SDL_PollEvent(&event)) {
            dispatchEvent(run.session, event, display, writer, run.log);
        }
        // The host's window keeps the title its owner gave it.
        if (const int entry = shared.currentEffect & 0xff; entry != titledEntry && !display.hosted) {
            titledEntry = entry;
            SDL_SetWindowTitle(display.window, windowTitle(entry).c_str());
        }
        if (stopRequested(run.session) || run.framesDone()) {
            return;
        }
        const double now = run.clock.now();
        const bool bySound = run.sound && run.sound->paces();
        if (bySound ? run.sound->frameDue(run.frames) : schedule.take(now)) {
            prepareTick(display, writer, run.log);
            run.tick();
            continue;
        }
        const int wait = bySound ? run.sound->waitMilliseconds(run.frames) : schedule.waitMilliseconds(now);
        if (SDL_WaitEventTimeout(&event, wait)) {
            dispatchEvent(run.session, event, display, writer, run.log);
        }
    }
}

int runWindowed(RunState& run) {
    requestShortSlices();
    PlayerDisplay display;
    display.x11 = &run.session.x11;
    watchX11(&run.session.x11); // before SDL starts, for the run's lifetime
    const int monitor = run.options.monitor.value_or(0);
    if (const int code = openDisplay(run.options.displayMode, display, run.options.hostWindow,
                                     run.options.hostRoot, monitor);
        code != 0) {
        return code;
    }
    if (run.options.allMonitors && !display.hosted) {
        openMirrors(display, monitor);
    }
    {
        SurfaceWriter writer;
        const ResultCode code = writer.initialise(display.surface, std::make_shared<MemoryDevice>());
        if (code != result::ok) {
            reportError("Initialize surface writer failed.", code);
            closeDisplay(display);
            return 1;
        }
        setRenderTarget(&writer);
        run.log.writeEvent("renderer", rendererName(display.renderer));
        run.beginOwnWork();
        prepareRun(run.session);
        run.keepLastFrame();
        run.endOwnWork();
        // While the encoder makes the frame thread wait, the window's events are still handled, so that Esc
        // or a closed window ends the wait as a signal does.
        if (run.recorder) {
            run.recorder->setPatience([&run, &display, &writer] {
                SDL_Event event;
                while (!stopRequested(run.session) && SDL_PollEvent(&event)) {
                    dispatchEvent(run.session, event, display, writer, run.log);
                }
                return encoderPatienceRunsOut(run.session);
            });
        }
        LabelTexture labelTexture;
        display.labelTexture = &labelTexture;
        display.surface->setOverlay([&run, &labelTexture](SDL_Renderer* renderer) {
            run.updateLabel();
            labelTexture.draw(renderer, run.label);
            labelTexture.draw(renderer, run.fps);
        });
        display.surface->setPictureOverlay([&run](uint8_t* pixels, int pitch, const PixelFormat& format) {
            run.updateLabel();
            run.label.drawOnto(pixels, pitch, format);
            run.fps.drawOnto(pixels, pitch, format);
        });
        SDL_ShowCursor(SDL_DISABLE);
        run.sound = display.hosted ? nullptr : startPlayingAloud(run.options);
        runWindowedLoop(run, display, writer);
        run.sound.reset();
        if (run.recorder) {
            run.recorder->setPatience([&run] { return encoderPatienceRunsOut(run.session); });
        }
        setRenderTarget(nullptr);
        display.surface->setOverlay(nullptr);
        display.surface->setPictureOverlay(nullptr);
        labelTexture.release();
        display.labelTexture = nullptr;
    }
    closeDisplay(display);
    return 0;
}

// No window and no pacing: the same start-up, then the ticks back to back into a 32-bit memory surface.
int runHeadless(RunState& run) {
    auto surface = std::make_shared<MemorySurface>(displayWidth, displayHeight, PixelFormat{});
    SurfaceWriter writer;
    const ResultCode code = writer.initialise(surface, std::make_shared<MemoryDevice>());
    if (code != result::ok) {
        reportError("Initialize surface writer failed.", code);
        return 1;
    }
    setRenderTarget(&writer);
    run.headlessPicture = surface.get();
    prepareRun(run.session);
    while (!stopRequested(run.session) && !run.framesDone()) {
        run.tick();
    }
    setRenderTarget(nullptr);
    return 0;
}

// The picture of the current field, drawn afresh into memory: the same pixels the display was given.
bool writeScreenshot(const std::string& path, std::string& error) {
    auto surface = std::make_shared<MemorySurface>(displayWidth, displayHeight, PixelFormat{});
    SurfaceWriter writer;
    if (writer.initialise(surface, std::make_shared<MemoryDevice>()) != result::ok) {
        error = "cannot draw the picture for " + path;
        return false;
    }
    SurfaceWriter* const previous = renderer.writer;
    setRenderTarget(&writer);
    renderField();
    setRenderTarget(previous);
    return writeSurfacePng(path, *surface, error);
}

bool writeFieldDump(const std::string& path, std::string& error) {
    return writeFileAtomically(path, dumpField(), error);
}

// Both outputs are tried even when the first fails, and each failure is reported.
int writeOutputs(const Options& options) {
    int code = 0;
    std::string error;
    if (!options.screenshotPath.empty() && !writeScreenshot(options.screenshotPath, error)) {
        std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        code = 2;
    }
    if (!options.dumpFieldPath.empty() && !writeFieldDump(options.dumpFieldPath, error)) {
        std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        code = 2;
    }
    return code;
}

} // namespace

namespace {

// Completes the video and reports a failure in one line. Returns 0; 1 when no frame was recorded (the
// target is then left as it was: a video of no frames is no recording); 2 as for an output not written.
int finishRecording(Recorder* recorder, const std::string& path) {
    if (recorder && recorder->frames() == 0 && !recorder->failed()) {
        recorder->abandon();
        std::fprintf(stderr, "glowfield: no frame was recorded, so %s is left as it was\n", path.c_str());
        return 1;
    }
    std::string error;
    if (recorder && !recorder->finish(error)) {
        std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        return 2;
    }
    return 0;
}

// On the watchdog's thread, while the frame thread is stuck in a display call and touches nothing else: the
// outputs of the last whole frame from its copy, and the recording up to it.
int rescueFrozenRun(RunState& run) {
    if (!run.last.kept) {
        if (run.recorder) {
            run.recorder->abandon();
        }
        std::fprintf(stderr,
                     "glowfield: the display did not answer, so the run ended before its first frame\n");
        return 1;
    }
    std::fprintf(stderr, "glowfield: the display stopped answering; the run ended with the outputs of its "
                         "last frame\n");
    int code = 0;
    std::string error;
    if (!run.options.screenshotPath.empty() && run.last.picture &&
        !writeSurfacePng(run.options.screenshotPath, *run.last.picture, error)) {
        std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        code = 2;
    }
    if (!run.options.dumpFieldPath.empty() &&
        !writeFileAtomically(run.options.dumpFieldPath, run.last.field, error)) {
        std::fprintf(stderr, "glowfield: %s\n", error.c_str());
        code = 2;
    }
    // The encoder's wait must not handle the window's events, as it does on the frame thread.
    if (run.recorder) {
        run.recorder->setPatience([&run] { return encoderPatienceRunsOut(run.session); });
    }
    return std::max(code, finishRecording(run.recorder.get(), run.options.recordPath));
}

// SDL's D-Bus use starts a session bus through X11 (dbus-launch --autolaunch) when none is set, which waits
// on the display server and outlives the player. A screen saver's hosted run and a headless run need no
// session bus: without one they get an address that fails at once.
void avoidSessionBusLaunch(const Options& options) {
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if ((options.headless || options.displayMode == DisplayMode::hosted) && (!bus || !*bus)) {
        setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/glowfield-no-session-bus", 1);
    }
}

} // namespace

int runPlayer(const Options& options) {
    avoidSessionBusLaunch(options);
    setPictureDirectory(options.picturesDirectory.value_or(
        defaultPicturesDirectory([](const char* name) { return std::getenv(name); })));
    // On the screen a frame never waits for a picture file; a run that leaves frames behind (headless, a
    // recording, a screenshot) waits, so that the same seed and folder give the same frames every time.
    setPictureLoadsWait(options.headless || !options.recordPath.empty() || !options.screenshotPath.empty());
    // The sound source is opened before anything is written, so that a wrong one leaves no output behind.
    int listenCode = 0;
    std::unique_ptr<PulseSource> live = openLiveSource(options, listenCode);
    if (listenCode != 0) {
        return listenCode;
    }
    const PulseSource* const liveSource = live.get();
    if (live) {
        listenTo(std::move(live));
    }
    RunState run(options);
    run.session.liveSource = liveSource;
    if (!run.log.openFromEnvironment()) {
        std::fprintf(stderr, "glowfield: cannot write the frame log named by GLOWFIELD_FRAME_LOG\n");
        return 2;
    }
    if (!options.recordPath.empty()) {
        std::string error;
        run.recorder = Recorder::start(
            options.recordPath, options.recordWidth ? options.recordWidth : displayWidth,
            options.recordHeight ? options.recordHeight : displayHeight, error, options.audioPath);
        sayWhenVideoHasNoSound(options);
        if (!run.recorder) {
            std::fprintf(stderr, "glowfield: %s\n", error.c_str());
            return 2;
        }
        run.recorder->setOverlay([&run](uint8_t* rgb, int pitch) {
            run.updateLabel();
            run.label.drawOnto(rgb, pitch);
            run.fps.drawOnto(rgb, pitch);
        });
        run.recorder->setPatience([&run] { return encoderPatienceRunsOut(run.session); });
    }
    // A broken connection to the display ends the process from inside Xlib: the outputs of the last frame.
    run.session.x11.displayLost = [&run] {
        run.beginOwnWork();
        writeOutputs(run.options);
        finishRecording(run.recorder.get(), run.options.recordPath);
    };
    int code = 0;
    if (options.headless) {
        code = runHeadless(run);
    } else {
        DisplayWatchdog watchdog;
        run.watchdog = &watchdog;
        watchdog.start([&run] { return rescueFrozenRun(run); });
        code = runWindowed(run);
        run.beginOwnWork();
        watchdog.stop();
        run.watchdog = nullptr;
    }
    run.progress.finish();
    watchX11(nullptr);
    if (code != 0) {
        return code; // an unfinished recording leaves its target as it was
    }
    const int recorded = finishRecording(run.recorder.get(), options.recordPath);
    const int lost = liveSourceLost(run.session.liveSource) ? soundServerLostCode : 0;
    if (run.session.liveSource) {
        run.session.liveSource = nullptr;
        stopListening();
    }
    return std::max({writeOutputs(options), recorded, lost});
}

} // namespace glowfield
