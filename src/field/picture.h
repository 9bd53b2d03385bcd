// The wallpaper picture: one of the uncompressed 24-bit .bmp, .png or .jpg files of the picture directory,
// chosen at random and unpacked into three byte planes that the picture effects read (a .png or .jpg fitted
// to the screen first).
#pragma once

#include <cstdint>
#include <string>

namespace glowfield {

inline constexpr int pictureColumns = 1600; // X range of the picture planes
inline constexpr int pictureRows = 1200;    // Y range; element (X, Y) lives at X * pictureRows + Y

inline constexpr int pictureAt(int x, int y) {
    return x * pictureRows + y;
}

struct PictureStore {
    uint8_t pictureBlue[pictureColumns * pictureRows];  // samples of the last picture; a smaller picture
    uint8_t pictureGreen[pictureColumns * pictureRows]; // leaves the rest as the one before left it
    uint8_t pictureRed[pictureColumns * pictureRows];   //
    int32_t pictureWidth = 0;  // from the last header that passed the "BM" test, always in 0..1600
    int32_t pictureHeight = 0; // likewise, always in 0..1200
};

extern PictureStore& picture; // part of the one world (effects/world.h)

// The folder searched for .bmp, .png and .jpg/.jpeg files; the player sets it from its command line. Empty
// means none.
void setPictureDirectory(const std::string& directory);
const std::string& pictureDirectory();

// Picks a random candidate file of the folder's listing (one nextRandom() draw when at least one exists) and
// unpacks it; the listing is kept until the folder changes, and in play the file is read in the background
// and lands on a later frame (field/picture_loader.h). Every failure is quiet and leaves the planes as they
// were (a .bmp's sizes may change, as its header is read before the bit count is checked; a .png or .jpg
// changes nothing unless it decodes).
void loadRandomPicture();

// Tests only: called between the listing of the folder and the opening of the chosen file, so that a test
// can change the folder in between. nullptr (the default) calls nothing.
void setPictureScanHook(void (*hook)());

} // namespace glowfield
