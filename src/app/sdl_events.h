// The player's window procedure: SDL events become key commands, mouse cells and the end of the program.
// Printable command characters come from text input, so they follow the keyboard layout; Return, keypad Enter
// and Esc come from key events, which never carry printable characters, so no key acts twice.
#pragma once

#include <SDL.h>

#include "app/session.h"
#include "platform/display_surface.h"

namespace glowfield {

// What an event asks of the player beyond what handleEvent does itself.
enum class EventOutcome {
    none,
    redraw,       // the application became active: draw the field once
    hidden,       // the window was minimised or hidden: nothing to draw on until it is shown
    shown,        // the window is shown again: draw on it from now on, starting at once
    texturesLost, // the renderer lost its textures: the texture must be recreated before the next lock
    deviceLost,   // the renderer's device was reset: the renderer must be made anew, and the texture with it
};

// Runs the commands an event carries: keys through pressKey, the mouse through moveMouse (in picture pixels,
// clamped to the picture), and quit requests (Esc, a left click, closing the window) in
// session.quitRequested.
EventOutcome handleEvent(Session& session, const SDL_Event& event);

} // namespace glowfield
