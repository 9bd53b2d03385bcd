// Picture loads that keep off the frame: in play a thread of its own lists the folder and reads the chosen
// file while the frames go on; runs that must repeat exactly (headless, recordings, tests) wait for it.
#pragma once

namespace glowfield {

enum class PictureLoad {
    none,    // nothing to choose from; no random draw was made
    done,    // the chosen file was read and laid into the planes (or found unusable) on this frame
    pending, // the chosen file is being read; the planes keep the picture they hold until it is ready
};

// true (the default): the frame that asks for a picture waits for it, so a seed and a folder give the same
// frames every time. false: it never waits; a load finishes on a later frame. Leaving waiting turns also
// starts listing the folder in the background.
void setPictureLoadsWait(bool wait);

// What loadRandomPicture() does, saying how it went. The folder's listing is kept until the folder changes
// (its modification time, checked on every load), so a large folder costs its listing once.
PictureLoad requestRandomPicture();

// Lays a picture that the background has finished reading into the planes. Called on the frame thread at
// the start of every frame; does nothing when there is none or when loads wait.
void applyFinishedPicture();

// Waits until the background has nothing left to do, then applies what it finished (tests, benchmarks).
void finishPictureLoads();

// Whether the background has nothing left to do (what it finished may still wait to be applied).
bool pictureLoadsIdle();

// Forgets what the background has read but not yet laid into the planes (a fresh start).
void discardPictureLoads();

} // namespace glowfield
