// The gallery's work folder: made inside the gallery's folder, locked while the run lives, and moved into
// place whole, so that a gallery that fails or is stopped leaves the previous one as it was.
#pragma once

#include <string>
#include <vector>

namespace glowfield {

struct GalleryWork {
    std::string folder; // the gallery's own folder
    std::string path;   // the work folder inside it, .glowfield-gallery-XXXXXX, with a thumbs folder
    int lock = -1;      // held (flock) by the run and its workers for as long as they live
};

// Makes the folder and its thumbs folder when missing, removes the work folders of killed runs (those nobody
// holds) and makes a new one. Empty when done, else one line's reason: also for a folder that cannot be
// written.
std::string openGalleryWork(const std::string& folder, GalleryWork& work);

// Moves each of files (paths relative to the folders, thumbs/ included) from the work folder over the
// gallery's, with the stop signals held back: once begun, it is done whole. False and the reason when a move
// fails.
bool moveGalleryIntoPlace(const GalleryWork& work, const std::vector<std::string>& files, std::string& error);

// Removes the work folder and whatever is left in it.
void closeGalleryWork(GalleryWork& work);

} // namespace glowfield
