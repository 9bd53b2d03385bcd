// Small pieces that effects share: the choice of a plane by a drawn channel index, the dark frame that the
// ring effects leave around the grid, and a float coordinate that advances by jittered steps without a
// chain of conversions.
#pragma once

#include <bit>
#include <cstdint>

#include "field/field.h"
#include "field/numeric.h"

namespace glowfield {

// Colour plane by channel index: 0 red, 1 green, anything else blue (callers pass a draw modulo 3).
inline float* colourPlane(int channel) {
    return channel == 0 ? planes.red : channel == 1 ? planes.green : planes.blue;
}

// Velocity plane by channel index, in the same order.
inline float* velocityPlane(int channel) {
    return channel == 0 ? planes.redVelocity : channel == 1 ? planes.greenVelocity : planes.blueVelocity;
}

// Adds a change to a float in double precision and rounds the sum back to single precision.
inline void addTo(float& value, double change) {
    value = toFloat(value + change);
}

// Sets the three colours of the border cells to 0. The walk stops one short of the far corner, so the cell
// (N-1, N-1) keeps its colour.
inline void darkenBorder() {
    const int n = field.gridSize;
    for (int i = 0; i <= n - 2; ++i) {
        const int cells[4] = {cellAt(n - 1, i), cellAt(0, i), cellAt(i, n - 1), cellAt(i, 0)};
        for (int cell : cells) {
            planes.red[cell] = 0.0f;
            planes.green[cell] = 0.0f;
            planes.blue[cell] = 0.0f;
        }
    }
}

// A coordinate that advances as v = toFloat(v + r * 0.002) for draws r in 0..499 (LatticeCoordinate below),
// giving the same floats as that formula step by step, fast while 1 <= v < 2^8.
//
// The formula rounds v + d (d = r * 0.002 in double) to double and then to float: a chain of an addition and
// two conversions per step, which would bound a loop of such steps. Inside one binade [2^e, 2^(e+1)) both
// roundings depend on d alone: v is a whole number of float units u = 2^(e-23) there, so rounding v + d to a
// multiple of the double or the float unit adds d rounded to that unit, as long as the sum stays in the
// binade. The step of each draw is therefore one table entry per binade, in float units, and a step is one
// integer addition to the bits of v. The formula itself is used near the top of a binade (where v + d may
// cross into the next one), outside the table, and where rounding d to a float unit would be a tie (ties go
// to the even mantissa, which depends on v; none occur for these draws, but the table would mark them).
inline constexpr int latticeBinades = 8; // 1 <= v < 2^8
inline constexpr int latticeDraws = 500;

// Float units of the step of draw r in binade e, or -1 (no step fits, as -1 reads as the largest unsigned
// value) where the float rounding ties. A last row of -1 serves every v outside the table.
struct LatticeStepTable {
    int32_t units[latticeBinades + 1][latticeDraws] = {};
};

constexpr LatticeStepTable buildLatticeSteps() {
    LatticeStepTable table;
    for (int r = 0; r < latticeDraws; ++r) {
        table.units[latticeBinades][r] = -1;
    }
    for (int e = 0; e < latticeBinades; ++e) {
        const float base = static_cast<float>(1 << e);
        const double unit = 1.0 / static_cast<double>(1 << (23 - e));
        for (int r = 0; r < latticeDraws; ++r) {
            const double d = r * 0.002;
            // d rounded to the double unit of the binade, in float units (exact: a power-of-two scale).
            const double inUnits = ((static_cast<double>(base) + d) - base) / unit;
            const bool tie = inUnits - static_cast<double>(static_cast<int64_t>(inUnits)) == 0.5;
            const double stepped = static_cast<float>(base + d); // the formula at the bottom of the binade
            table.units[e][r] = tie ? -1 : static_cast<int32_t>((stepped - base) / unit);
        }
    }
    return table;
}

inline constexpr LatticeStepTable latticeSteps = buildLatticeSteps();

class LatticeCoordinate {
  public:
    explicit LatticeCoordinate(float start) { reset(std::bit_cast<uint32_t>(start)); }

    float value() const { return std::bit_cast<float>(bits_); }

    // v = toFloat(v + r * 0.002); r must be in 0..499.
    void step(int r) {
        const uint32_t units = static_cast<uint32_t>(binadeSteps_[r]);
        if (units < room_) {
            bits_ += units;
            room_ -= units;
        } else {
            reset(std::bit_cast<uint32_t>(toFloat(value() + r * 0.002)));
        }
    }

  private:
    void reset(uint32_t bits) {
        bits_ = bits;
        const uint32_t binade = (bits >> 23) - 127; // below 1 (or negative) this wraps past the table
        binadeSteps_ = latticeSteps.units[binade < latticeBinades ? binade : latticeBinades];
        room_ = 0x7fffffu - (bits & 0x7fffffu);
    }

    uint32_t bits_ = 0;
    const int32_t* binadeSteps_ = nullptr; // table row of the binade of v
    uint32_t room_ = 0; // a step of fewer units keeps v + d and the result below the top of the binade
};

} // namespace glowfield
