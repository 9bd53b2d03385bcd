#include "app/sdl_events.h"

#include <algorithm>

#include "app/commands.h"

namespace glowfield {

namespace {

bool isTextCommand(unsigned char code) {
    return code == ' ' || code == '.' || (code >= '0' && code <= '9') || code == 'i' || code == 'l' ||
           code == 'm' || code == 'z' || code == 'k' || code == 'n';
}

// Under scaling SDL reports the picture's own coordinates, which fall outside it over the bars around it.
void publishMouse(int x, int y) {
    moveMouse(static_cast<uint32_t>(std::clamp(x, 0, displayWidth - 1)),
              static_cast<uint32_t>(std::clamp(y, 0, displayHeight - 1)));
}

} // namespace

EventOutcome handleEvent(Session& session, const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        session.quitRequested = true;
        break;
    case SDL_KEYDOWN:
        switch (event.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            pressKey(session, 13);
            break;
        case SDLK_ESCAPE:
            pressKey(session, 27);
            break;
        default:
            break;
        }
        break;
    case SDL_TEXTINPUT:
        for (const char* at = event.text.text; *at && at < event.text.text + sizeof event.text.text; ++at) {
            const auto code = static_cast<unsigned char>(*at);
            if (isTextCommand(code)) {
                pressKey(session, code);
            }
        }
        break;
    case SDL_MOUSEMOTION:
        publishMouse(event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT) {
            session.quitRequested = true;
        }
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            return EventOutcome::redraw;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN:
            return EventOutcome::hidden;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_SHOWN:
            return EventOutcome::shown;
        case SDL_WINDOWEVENT_CLOSE:
            session.quitRequested = true;
            break;
        default:
            break;
        }
        break;
    case SDL_RENDER_TARGETS_RESET:
        return EventOutcome::texturesLost;
    case SDL_RENDER_DEVICE_RESET:
        return EventOutcome::deviceLost;
    default:
        break;
    }
    return EventOutcome::none;
}

} // namespace glowfield
