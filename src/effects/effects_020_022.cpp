// Specks, the picture relief and the snowflake.
//
// Random specks that brighten their locally dominant colour and clear the other two, the wallpaper picture
// shown as a relief whose bright pixels come nearer, and a six-fold snowflake copied from one radius of the
// grid. The relief loads its picture on its first frame (it recognises the store as its own by the mark 1.25
// in particleOwner) and every 65 frames; the relief and the snowflake use sharedAngle as their coordinate and
// angle, and the specks leave their last channel choice in lastChannel.

#include <algorithm>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/picture.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

namespace {

// The mark that the relief leaves in particleOwner once it has loaded its picture.
constexpr float reliefMark = 1.25f;

// The channel whose colour is strictly greatest at the cell and above 20; 0 when none is.
int32_t speckChannel(int cell) {
    const float r = planes.red[cell];
    const float g = planes.green[cell];
    const float b = planes.blue[cell];
    int32_t channel = 0;
    if (r > g && r > b && r > 20) {
        channel = 1;
    }
    if (g > r && g > b && g > 20) {
        channel = 2;
    }
    if (b > g && b > r && b > 20) {
        channel = 3;
    }
    return channel;
}

// Raises a colour below 100 halfway toward the target; a colour already at 100 or more is kept.
void pullUp(float& colour, double target) {
    if (!(colour >= 100)) {
        colour = toFloat((colour + target) * 0.5);
    }
}

// Brightens the speck at (x, y) and its four neighbours in one colour and clears the other two at its centre.
// Green pulls its centre toward 150 rather than 100.
void brightenSpeck(int x, int y, float* colour, float* other1, float* other2, double centreTarget) {
    pullUp(colour[cellAt(x, y)], centreTarget);
    pullUp(colour[cellAt(x, y - 1)], 100);
    pullUp(colour[cellAt(x, y + 1)], 100);
    pullUp(colour[cellAt(x + 1, y)], 100);
    pullUp(colour[cellAt(x - 1, y)], 100);
    other1[cellAt(x, y)] = 0.0f;
    other2[cellAt(x, y)] = 0.0f;
}

// The relief lifts a sample by the sum of its three channels, so there are 766 depths, each projected with
// its own scale.
constexpr int liftLow = -3 * 127;
constexpr int liftCount = 3 * 255 + 1;

struct ReliefDepth {
    bool projectable = false;
    float scale = 0.0f;
};

// Brightness lifts a pixel toward the viewer: mid-grey sits at depth 40.
float reliefDepth(int lift) {
    return toFloat(40 - lift * static_cast<double>(0.33333334f));
}

} // namespace

void speckle() {
    const int n = field.gridSize;
    for (int attempt = 0; attempt < 500; ++attempt) {
        const int x = nextRandom() % (n - 12) + 5;
        const int y = nextRandom() % (n - 12) + 5;
        shared.lastChannel = speckChannel(cellAt(x, y));
        switch (shared.lastChannel) {
        case 1:
            brightenSpeck(x, y, planes.red, planes.blue, planes.green, 100);
            break;
        case 2:
            brightenSpeck(x, y, planes.green, planes.blue, planes.red, 150);
            break;
        case 3:
            brightenSpeck(x, y, planes.blue, planes.red, planes.green, 100);
            break;
        default:
            break;
        }
    }
}

void grill() {
    const int n = field.gridSize;
    if (!(particleOwner == reliefMark) || shared.frameCounter % 65 == 0) {
        // A frame that loads draws nothing; without a usable picture the planes keep what they held and the
        // relief shows that.
        loadRandomPicture();
        particleOwner = reliefMark;
        return;
    }
    // A jittered lattice with an average step of half a cell; the sample for grid point (u, v) lands near
    // (N-1-u, N-1-v), so the picture shows turned by half a turn.
    ReliefDepth depths[liftCount];
    for (int i = 0; i < liftCount; ++i) {
        const float depth = reliefDepth(liftLow + i);
        if (isProjectable(n, depth)) {
            depths[i] = {true, projectionScale(n, depth)};
        }
    }
    const float centre = projectionCentre(n);
    shared.sharedAngle = 1.0f;
    do {
        shared.sharedAngle = toFloat(shared.sharedAngle + (nextRandom() % 500) * 0.002);
        const double u = shared.sharedAngle;
        // The picture column and the projected x depend on u alone; indices are kept inside the planes
        // whatever the sizes hold.
        const int32_t px = std::clamp(truncToInt(picture.pictureWidth * u / n), 0, pictureColumns - 1);
        const uint8_t* const red = picture.pictureRed + pictureAt(px, 0);
        const uint8_t* const green = picture.pictureGreen + pictureAt(px, 0);
        const uint8_t* const blue = picture.pictureBlue + pictureAt(px, 0);
        const float x = toFloat((n - 1) - u);
        const double height = picture.pictureHeight;
        float v = 1.0f;
        do {
            v = toFloat(v + (nextRandom() % 500) * 0.002);
            const int32_t py =
                std::clamp(truncToInt(height * static_cast<double>(v) / n), 0, pictureRows - 1);
            const int r = red[py];
            const int g = green[py];
            const int b = blue[py];
            const ReliefDepth& depth = depths[b + g + r];
            if (!depth.projectable) {
                continue;
            }
            const int32_t outX = projectCoordinate(x, centre, depth.scale);
            const int32_t outY =
                projectCoordinate(toFloat((n - 1) - static_cast<double>(v)), centre, depth.scale);
            if (outY >= 1 && outY <= n - 2 && outX >= 1 && outX <= n - 2) {
                const int cell = cellAt(outX, outY);
                planes.red[cell] = static_cast<float>(r - 127);
                planes.green[cell] = static_cast<float>(g - 127);
                planes.blue[cell] = static_cast<float>(b - 127);
                planes.redVelocity[cell] = 0.0f;
                planes.greenVelocity[cell] = 0.0f;
                planes.blueVelocity[cell] = 0.0f;
            }
        } while (n - 1 > v);
    } while (n - 1 > shared.sharedAngle);
}

void snowflake() {
    const int half = field.gridSize >> 1;
    for (int r = 5; r < half; ++r) {
        shared.sharedAngle = 0.0f;
        const int source = cellAt(half + r, half);
        const float red = static_cast<float>(truncToInt(planes.red[source]));
        const float green = static_cast<float>(truncToInt(planes.green[source]));
        const float blue = static_cast<float>(truncToInt(planes.blue[source]));
        // Five copies at steps of slightly less than a sixth of a turn; the source itself is the sixth arm.
        for (int copy = 0; copy < 5; ++copy) {
            shared.sharedAngle = toFloat(shared.sharedAngle + static_cast<double>(1.0466667f));
            const int x = truncToInt(fastCos(shared.sharedAngle) * static_cast<double>(r) + half);
            const int y = truncToInt(fastSin(shared.sharedAngle) * static_cast<double>(r) + half);
            const int cell = cellAt(x, y);
            planes.red[cell] = red;
            planes.green[cell] = green;
            planes.blue[cell] = blue;
            planes.redVelocity[cell] = 0.0f;
            planes.greenVelocity[cell] = 0.0f;
            planes.blueVelocity[cell] = 0.0f;
        }
    }
}

} // namespace glowfield
