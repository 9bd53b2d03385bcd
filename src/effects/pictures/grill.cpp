// Grill: the wallpaper picture shown as a relief whose bright pixels come nearer.
//
// Loads its picture on its first frame (it recognises the store as its own by reliefMark in particleOwner)
// and every 65 frames; uses sharedAngle as its coordinate.

#include <algorithm>
#include <bit>
#include <limits>

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "effects/shared/effect_helpers.h"
#include "effects/shared/owner_marks.h"
#include "field/drawing.h"
#include "field/field.h"
#include "field/numeric.h"
#include "field/picture.h"
#include "field/random.h"
#include "field/trig.h"

namespace glowfield {

namespace {

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
    // The walk takes some 160 000 numbers one after another; they are worked out ahead in blocks.
    RandomAhead random;
    do {
        shared.sharedAngle = toFloat(shared.sharedAngle + (random.take() % 500) * 0.002);
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
                v.step(static_cast<int>(static_cast<uint32_t>(random.take()) % 500u)); // draws are >= 0
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
    random.finish();
    writeLastSamples(last, n);
}

} // namespace glowfield
