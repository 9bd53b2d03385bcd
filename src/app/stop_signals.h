// The signals that end a run the way Esc does, installed the same way by the launcher and the player.
#pragma once

#include <csignal>

namespace glowfield {

// SIGINT, SIGTERM and SIGHUP (the terminal closed) call handler. A signal that the parent had ignored stays
// ignored, as scripts that start the player in the background expect of SIGINT and nohup of SIGHUP. SIGPIPE
// is ignored, so that a frame log whose reader went away reports EPIPE to its writer instead of ending the
// run. The stop signals are unblocked: a program started with them blocked would otherwise never see a stop,
// and one that arrived before this call is taken now.
inline void installStopHandlers(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a signal cuts the loop's sleep short.
    action.sa_flags = 0;
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    sigset_t stops;
    sigemptyset(&stops);
    for (const int signal : signals) {
        struct sigaction previous {};
        if (signal != SIGTERM && sigaction(signal, nullptr, &previous) == 0 &&
            previous.sa_handler == SIG_IGN) {
            continue;
        }
        sigaction(signal, &action, nullptr);
        sigaddset(&stops, signal);
    }
    std::signal(SIGPIPE, SIG_IGN);
    sigprocmask(SIG_UNBLOCK, &stops, nullptr);
}

} // namespace glowfield
