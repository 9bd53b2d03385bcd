// Specks, the picture relief and the snowflake.
//
// Random specks that brighten their locally dominant colour and clear the other two, the wallpaper picture
// shown as a relief whose bright pixels come nearer, and a six-fold snowflake copied from one radius of the
// grid. The relief loads its picture on its first frame (it recognises the store as its own by the mark 1.25
// in particleOwner) and every 65 frames; the relief and the snowflake use sharedAngle as their coordinate and
// angle, and the specks leave their last channel choice in lastChannel.

#include <algorithm>
#include <bit>
#include <limits>

#include "effects/effect_helpers.h"
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

// Brightness lifts a pixel toward the viewer: mid-grey sits at depth 40.
float reliefDepth(int lift) {
    return toFloat(40 - lift * static_cast<double>(0.33333334f));
}

// The relief draws a lattice column in passes over batches of its points: the lattice walk with its random
// draws, then the arithmetic of all points of the batch in vector-friendly loops, then each point's sample
// recorded for its cell in point order. Nothing in the relief reads the planes, so the last sample of a
// cell decides it; the planes are written once at the end, exactly as one point after the other would
// leave them, instead of six scattered writes per point.
constexpr int reliefBatch = 512;

struct ReliefBatch {
    float v[reliefBatch];         // lattice coordinate along the column
    int32_t row[reliefBatch];     // picture row of the sample
    double y[reliefBatch];        // projected y before scaling: toFloat(N-1-v) - centre
    float scale[reliefBatch];     // projection scale of the sample's depth; NaN when it cannot be projected
    int32_t cell[reliefBatch];    // the cell written, -1 for none
    uint32_t sample[reliefBatch]; // the packed sample (see writeLastSamples)
};

// Picture rows and unscaled y of a batch. The row is clamp(truncToInt(height * v / N), 0, rows - 1), written
// so that it vectorises (a quotient that is not a number gives row 0, as truncToInt does). Cloned for wider
// vector units; every clone computes in IEEE double without contraction, so the results are the same bits.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
reliefRows(const float* __restrict v, int32_t* __restrict row, double* __restrict y, int count, double height,
           int n, double centre) {
    const double last = n - 1;
    for (int i = 0; i < count; ++i) {
        const double q = height * static_cast<double>(v[i]) / n;
        row[i] = static_cast<int32_t>(std::min(q > 0 ? q : 0.0, pictureRows - 1.0));
        y[i] = static_cast<double>(toFloat(last - static_cast<double>(v[i]))) - centre;
    }
}

// Projected cells of a batch, as projectCoordinate computes them: a coordinate p lands inside the border
// (truncToInt(p) in 1 .. N-2) exactly when 1 <= p < N-1, and a NaN scale fails that test.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
reliefCells(const float* __restrict scale, const double* __restrict y, int32_t* __restrict cell, int count,
            double x, double centre, int n) {
    const double last = n - 1;
    for (int i = 0; i < count; ++i) {
        const double s = scale[i];
        const double px = x * s + centre + 0.5;
        const double py = y[i] * s + centre + 0.5;
        const bool inside = (px >= 1) & (px < last) & (py >= 1) & (py < last);
        const int32_t cx = static_cast<int32_t>(inside ? px : 0.0);
        const int32_t cy = static_cast<int32_t>(inside ? py : 0.0);
        cell[i] = inside ? cellAt(cx, cy) : -1;
    }
}

// replacement where hit is set, kept elsewhere. Chosen with a bit mask: a select of floats would leave the
// conversion that makes the replacement conditional, and such a loop does not vectorise.
inline float replacedWhere(bool hit, float replacement, float kept) {
    const uint32_t mask = 0u - static_cast<uint32_t>(hit);
    return std::bit_cast<float>((std::bit_cast<uint32_t>(replacement) & mask) |
                                (std::bit_cast<uint32_t>(kept) & ~mask));
}

// Each cell that received a sample takes its colours and loses its motion. last holds, per cell, the sample
// it received last, packed as 1 << 24 | blue << 16 | green << 8 | red, or 0 for none. Cloned for wider
// vector units; the clones convert the same small integers exactly.
__attribute__((target_clones("avx512f", "avx2", "default"))) void
writeLastSamples(const uint32_t* __restrict last, int n) {
    for (int x = 1; x <= n - 2; ++x) {
        const uint32_t* __restrict sample = last + cellAt(x, 0);
        float* __restrict red = planes.red + cellAt(x, 0);
        float* __restrict green = planes.green + cellAt(x, 0);
        float* __restrict blue = planes.blue + cellAt(x, 0);
        float* __restrict redMotion = planes.redVelocity + cellAt(x, 0);
        float* __restrict greenMotion = planes.greenVelocity + cellAt(x, 0);
        float* __restrict blueMotion = planes.blueVelocity + cellAt(x, 0);
        for (int y = 1; y <= n - 2; ++y) {
            const uint32_t s = sample[y];
            const bool hit = s != 0;
            red[y] = replacedWhere(hit, static_cast<float>(static_cast<int32_t>(s & 0xff) - 127), red[y]);
            green[y] =
                replacedWhere(hit, static_cast<float>(static_cast<int32_t>((s >> 8) & 0xff) - 127), green[y]);
            blue[y] =
                replacedWhere(hit, static_cast<float>(static_cast<int32_t>((s >> 16) & 0xff) - 127), blue[y]);
            redMotion[y] = hit ? 0.0f : redMotion[y];
            greenMotion[y] = hit ? 0.0f : greenMotion[y];
            blueMotion[y] = hit ? 0.0f : blueMotion[y];
        }
    }
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
    float scales[liftCount];
    for (int i = 0; i < liftCount; ++i) {
        const float depth = reliefDepth(liftLow + i);
        scales[i] =
            isProjectable(n, depth) ? projectionScale(n, depth) : std::numeric_limits<float>::quiet_NaN();
    }
    const double centre = projectionCentre(n);
    const float lastLine = static_cast<float>(n - 1);
    ReliefBatch batch;
    uint32_t last[planeCells] = {}; // the packed sample that each cell received last
    shared.sharedAngle = 1.0f;
    do {
        shared.sharedAngle = toFloat(shared.sharedAngle + (nextRandom() % 500) * 0.002);
        const double u = shared.sharedAngle;
        // Indices are kept inside the picture planes whatever the sizes hold.
        const int32_t px = std::clamp(truncToInt(picture.pictureWidth * u / n), 0, pictureColumns - 1);
        const uint8_t* const red = picture.pictureRed + pictureAt(px, 0);
        const uint8_t* const green = picture.pictureGreen + pictureAt(px, 0);
        const uint8_t* const blue = picture.pictureBlue + pictureAt(px, 0);
        const double x = static_cast<double>(toFloat((n - 1) - u)) - centre;
        LatticeCoordinate v(1.0f);
        bool more = true;
        while (more) {
            int count = 0;
            do {
                v.step(static_cast<int>(static_cast<uint32_t>(nextRandom()) % 500u)); // draws are >= 0
                batch.v[count++] = v.value();
                more = lastLine > v.value();
            } while (more && count < reliefBatch);
            reliefRows(batch.v, batch.row, batch.y, count, picture.pictureHeight, n, centre);
            for (int i = 0; i < count; ++i) {
                const uint32_t r = red[batch.row[i]];
                const uint32_t g = green[batch.row[i]];
                const uint32_t b = blue[batch.row[i]];
                batch.scale[i] = scales[r + g + b];
                batch.sample[i] = 1u << 24 | b << 16 | g << 8 | r;
            }
            reliefCells(batch.scale, batch.y, batch.cell, count, x, centre, n);
            for (int i = 0; i < count; ++i) {
                const int cell = batch.cell[i];
                if (cell >= 0) {
                    last[cell] = batch.sample[i];
                }
            }
        }
    } while (n - 1 > shared.sharedAngle);
    writeLastSamples(last, n);
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
