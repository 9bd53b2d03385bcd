// Car Park: a car park seen from above. Painted bays line both sides of an aisle; small cars drive in with
// their headlights sweeping the tarmac, reverse into a free bay, wait a while, pull out and drive away.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class CarPark : public Effect {
  public:
    void start(EffectContext& c) override {
        cars_.assign(carCount, Car{});
        for (int b = 0; b < bayCount; ++b) {
            taken_[b] = false;
        }
        // A few cars are already parked, and one is on its way in.
        for (int k = 0; k < 6; ++k) {
            const int bay = freeBay(c);
            if (bay >= 0) {
                Car& car = cars_[k];
                car = {};
                car.bay = bay;
                car.state = State::parked;
                car.timer = c.random(60, 500);
                car.hue = c.randomUnit();
                taken_[bay] = true;
            }
        }
    }

    void step(EffectContext& c) override {
        kit::clearVelocities(c);
        const float n = static_cast<float>(c.n);
        const float s = kit::gridScale(c);
        drawGround(c, n, s);
        if (c.frame % 70u == 0u) {
            for (Car& car : cars_) {
                if (car.state == State::idle) {
                    const int bay = freeBay(c);
                    if (bay >= 0) {
                        car = {};
                        car.bay = bay;
                        car.state = State::arriving;
                        car.hue = c.randomUnit();
                        taken_[bay] = true;
                    }
                    break;
                }
            }
        }
        for (Car& car : cars_) {
            if (car.state == State::idle) {
                continue;
            }
            advance(c, car);
            float x = 0.0f, y = 0.0f, heading = 0.0f;
            place(c, car, x, y, heading);
            if (!kit::onGrid(c, x, y, 30.0f * s)) {
                continue;
            }
            const bool moving = car.state != State::parked;
            if (moving) {
                // Headlights: two soft pools ahead of the car.
                const float ch = fastCos(heading), sh = fastSin(heading);
                for (float side : {-1.0f, 1.0f}) {
                    kit::softDisc(c, x + ch * 14.0f * s - sh * side * 3.0f * s,
                                  y + sh * 14.0f * s + ch * side * 3.0f * s, 7.0f * s,
                                  kit::fromLevels(255, 245, 190), 0.45f, kit::Blend::set);
                }
            }
            drawCar(c, x, y, heading, car.hue, moving, s);
        }
    }

  private:
    enum class State { idle, arriving, reversing, parked, leaving, departing };
    struct Car {
        State state = State::idle;
        int bay = 0;
        int timer = 0;
        float u = 0.0f; // progress through the current manoeuvre
        float hue = 0.0f;
    };
    static constexpr int carCount = 10;
    static constexpr int bayCount = 16; // eight along the top, eight along the bottom

    int freeBay(EffectContext& c) const {
        const int first = c.random(0, bayCount - 1);
        for (int k = 0; k < bayCount; ++k) {
            const int b = (first + k) % bayCount;
            if (!taken_[b]) {
                return b;
            }
        }
        return -1;
    }

    // Bay centre and which side of the aisle it is on (-1 top, +1 bottom).
    static void bayCentre(const EffectContext& c, int bay, float& x, float& y, float& side) {
        const float n = static_cast<float>(c.n);
        const int column = bay % 8;
        side = bay < 8 ? -1.0f : 1.0f;
        x = n * (0.1f + 0.1f * static_cast<float>(column)) + n * 0.05f;
        y = n * 0.5f + side * n * 0.24f;
    }

    // Moves a car along its current leg by speed (legs run from u = 0 to 1); true once the leg is done.
    static bool endOfLeg(Car& car, float speed) {
        car.u += speed;
        return car.u >= 1.0f;
    }

    static void advance(EffectContext& c, Car& car) {
        switch (car.state) {
        case State::arriving:
            if (endOfLeg(car, 0.006f)) {
                car.state = State::reversing;
                car.u = 0.0f;
            }
            break;
        case State::reversing:
            if (endOfLeg(car, 0.012f)) {
                car.state = State::parked;
                car.timer = c.random(250, 700);
            }
            break;
        case State::parked:
            if (--car.timer <= 0) {
                car.state = State::leaving;
                car.u = 0.0f;
            }
            break;
        case State::leaving:
            if (endOfLeg(car, 0.014f)) {
                car.state = State::departing;
                car.u = 0.0f;
            }
            break;
        case State::departing:
            if (endOfLeg(car, 0.008f)) {
                car.state = State::idle;
            }
            break;
        case State::idle:
            break;
        }
    }

    // The manoeuvres: in along the aisle from the left, a reverse arc into the bay, a forward arc out, and
    // away to the right.
    void place(const EffectContext& c, Car& car, float& x, float& y, float& heading) {
        const float n = static_cast<float>(c.n);
        float bx = 0.0f, by = 0.0f, side = 0.0f;
        bayCentre(c, car.bay, bx, by, side);
        const float aisle = n * 0.5f;
        const float stop = bx + n * 0.12f;
        const float u = kit::clampf(car.u, 0.0f, 1.0f);
        const float ease = u * u * (3.0f - 2.0f * u);
        switch (car.state) {
        case State::arriving:
            x = kit::lerp(-n * 0.1f, stop, ease);
            y = aisle - side * n * 0.04f;
            heading = 0.0f;
            break;
        case State::reversing: {
            // A quarter ellipse backwards: from facing along the aisle to facing out of the bay.
            const float a = ease * kit::pi * 0.5f;
            const float r = stop - bx;
            const float y0 = aisle - side * n * 0.04f;
            x = stop - r * fastSin(a);
            y = y0 + (by - y0) * (1.0f - fastCos(a));
            heading = kit::angleOf(r * fastCos(a), -(by - y0) * fastSin(a));
            break;
        }
        case State::parked:
            x = bx;
            y = by;
            heading = -side * kit::pi * 0.5f;
            break;
        case State::leaving: {
            // Forwards out of the bay and round to the right.
            const float a = ease * kit::pi * 0.5f;
            const float r = n * 0.1f;
            const float y1 = aisle + side * n * 0.04f;
            x = bx + r * (1.0f - fastCos(a));
            y = by + (y1 - by) * fastSin(a);
            heading = kit::angleOf(r * fastSin(a), (y1 - by) * fastCos(a));
            break;
        }
        case State::departing:
            x = kit::lerp(bx + n * 0.1f, n * 1.15f, u * u);
            y = aisle + side * n * 0.04f;
            heading = 0.0f;
            if (car.u >= 1.0f - 0.008f) {
                taken_[car.bay] = false;
            }
            break;
        case State::idle:
            break;
        }
    }

    static void drawGround(const EffectContext& c, float n, float s) {
        for (int x = 0; x < c.n; ++x) {
            for (int y = 0; y < c.n; ++y) {
                // Tarmac with a coarse grain from a hash of the cell.
                const unsigned h =
                    (static_cast<unsigned>(x) * 2654435761u) ^ (static_cast<unsigned>(y) * 40503u);
                const int grain = static_cast<int>((h >> 13) % 9u);
                kit::setCell(c, x, y, kit::fromLevels(62 + grain, 64 + grain, 68 + grain));
            }
        }
        const kit::Rgb paintColour = kit::fromLevels(230, 230, 215);
        for (int k = 0; k <= 8; ++k) {
            const float x = n * (0.1f + 0.1f * static_cast<float>(k));
            kit::drawThickLine(c, x, n * 0.14f, x, n * 0.34f, 0.5f * s, paintColour);
            kit::drawThickLine(c, x, n * 0.66f, x, n * 0.86f, 0.5f * s, paintColour);
        }
        kit::drawThickLine(c, n * 0.1f, n * 0.34f, n * 0.9f, n * 0.34f, 0.4f * s, paintColour);
        kit::drawThickLine(c, n * 0.1f, n * 0.66f, n * 0.9f, n * 0.66f, 0.4f * s, paintColour);
        // Dashed centre line and arrows down the aisle, and kerbs top and bottom.
        for (int k = 0; k < 10; ++k) {
            const float x = n * (0.02f + 0.1f * static_cast<float>(k));
            kit::drawThickLine(c, x, n * 0.5f, x + n * 0.05f, n * 0.5f, 0.4f * s,
                               kit::fromLevels(230, 200, 60));
        }
        kit::fillRect(c, 0.0f, 0.0f, n, n * 0.1f, kit::fromLevels(60, 110, 60));
        kit::fillRect(c, 0.0f, n * 0.9f, n, n, kit::fromLevels(60, 110, 60));
        kit::fillRect(c, 0.0f, n * 0.1f, n, n * 0.11f, kit::fromLevels(160, 160, 150));
        kit::fillRect(c, 0.0f, n * 0.89f, n, n * 0.9f, kit::fromLevels(160, 160, 150));
    }

    // A car from above: body, darker roof, a pale windscreen at the front and tail lights at the back.
    static void drawCar(const EffectContext& c, float x, float y, float heading, float hue, bool lit,
                        float s) {
        const float ch = fastCos(heading), sh = fastSin(heading);
        const auto quad = [&](float a0, float a1, float b0, float b1, kit::Rgb colour) {
            // Along the heading a0..a1, across it b0..b1, in cells at this grid size.
            const float xs[4] = {x + (ch * a0 - sh * b0) * s, x + (ch * a1 - sh * b0) * s,
                                 x + (ch * a1 - sh * b1) * s, x + (ch * a0 - sh * b1) * s};
            const float ys[4] = {y + (sh * a0 + ch * b0) * s, y + (sh * a1 + ch * b0) * s,
                                 y + (sh * a1 + ch * b1) * s, y + (sh * a0 + ch * b1) * s};
            kit::fillPolygon(c, xs, ys, 4, colour);
        };
        quad(-9.0f, 9.0f, -4.5f, 4.5f, kit::fromLevels(20, 20, 24));
        quad(-8.5f, 8.5f, -4.0f, 4.0f, kit::hsv(hue, 0.75f, 0.85f));
        quad(-4.0f, 3.0f, -3.2f, 3.2f, kit::hsv(hue, 0.8f, 0.55f));
        quad(3.0f, 5.5f, -3.2f, 3.2f, kit::fromLevels(170, 210, 235));
        quad(-6.5f, -4.0f, -3.2f, 3.2f, kit::fromLevels(120, 150, 170));
        const kit::Rgb tail = lit ? kit::fromLevels(255, 40, 30) : kit::fromLevels(120, 30, 30);
        quad(-9.0f, -7.8f, -4.0f, -2.5f, tail);
        quad(-9.0f, -7.8f, 2.5f, 4.0f, tail);
        quad(7.8f, 9.0f, -4.0f, -2.5f, kit::fromLevels(255, 250, 200));
        quad(7.8f, 9.0f, 2.5f, 4.0f, kit::fromLevels(255, 250, 200));
    }

    std::vector<Car> cars_;
    bool taken_[bayCount] = {};
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(CarPark);

} // namespace glowfield
