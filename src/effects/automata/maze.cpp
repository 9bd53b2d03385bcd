// Maze: a maze is dug by a randomised depth-first search, its digger head bright and the path back to the
// start glowing amber; then a flood from the entrance tints the corridors by distance, and at last the
// shortest way from entrance to exit lights up. Each maze takes about ten seconds, then the next is dug.
#include <vector>

#include "effects/kit/kit.h"

namespace glowfield {

namespace {

class Maze : public Effect {
  public:
    void start(EffectContext& c) override { newMaze(c); }

    void step(EffectContext& c) override {
        switch (stage_) {
        case Stage::digging:
            for (int k = 0; k < 18 && stage_ == Stage::digging; ++k) {
                dig(c);
            }
            break;
        case Stage::flooding:
            front_ += static_cast<float>(maxDistance_) / 110.0f + 0.5f;
            if (front_ > maxDistance_ + 10) {
                stage_ = Stage::tracing;
                progress_ = 0;
            }
            break;
        case Stage::tracing:
            progress_ += 1 + static_cast<int>(path_.size() / 60);
            if (progress_ > static_cast<int>(path_.size()) + 60) {
                newMaze(c);
            }
            break;
        }
        draw(c);
    }

  private:
    enum class Stage { digging, flooding, tracing };

    void newMaze(EffectContext& c) {
        rooms_ = (c.n - 2) / 4;
        rooms_ = rooms_ > 49 ? 49 : rooms_ < 1 ? 1 : rooms_;
        const size_t total = static_cast<size_t>(rooms_) * rooms_;
        visited_.assign(total, 0);
        east_.assign(total, 0);
        south_.assign(total, 0);
        distance_.assign(total, -1);
        stack_.clear();
        path_.clear();
        stack_.push_back(0);
        visited_[0] = 1;
        stage_ = Stage::digging;
        front_ = 0.0f;
        progress_ = 0;
        origin_ = (c.n - (rooms_ * 4 + 2)) / 2;
        hue_ = c.randomUnit();
    }

    // One step of the digger: on to a random unvisited neighbour, or back one room when there is none.
    void dig(EffectContext& c) {
        if (stack_.empty()) {
            flood();
            stage_ = Stage::flooding;
            return;
        }
        const int here = stack_.back();
        const int x = here % rooms_, y = here / rooms_;
        int options[4];
        int count = 0;
        if (x > 0 && !visited_[here - 1])
            options[count++] = here - 1;
        if (x < rooms_ - 1 && !visited_[here + 1])
            options[count++] = here + 1;
        if (y > 0 && !visited_[here - rooms_])
            options[count++] = here - rooms_;
        if (y < rooms_ - 1 && !visited_[here + rooms_])
            options[count++] = here + rooms_;
        if (count == 0) {
            stack_.pop_back();
            return;
        }
        const int next = options[c.random(0, count - 1)];
        if (next == here + 1)
            east_[here] = 1;
        if (next == here - 1)
            east_[next] = 1;
        if (next == here + rooms_)
            south_[here] = 1;
        if (next == here - rooms_)
            south_[next] = 1;
        visited_[next] = 1;
        stack_.push_back(next);
    }

    // Breadth-first distances from the entrance (top left), then the path back from the exit (bottom right).
    void flood() {
        std::vector<int> queue;
        queue.reserve(distance_.size());
        std::vector<int> from(distance_.size(), -1);
        distance_[0] = 0;
        queue.push_back(0);
        maxDistance_ = 0;
        for (size_t head = 0; head < queue.size(); ++head) {
            const int here = queue[head];
            const int x = here % rooms_, y = here / rooms_;
            const int links[4] = {x < rooms_ - 1 && east_[here] ? here + 1 : -1,
                                  x > 0 && east_[here - 1] ? here - 1 : -1,
                                  y < rooms_ - 1 && south_[here] ? here + rooms_ : -1,
                                  y > 0 && south_[here - rooms_] ? here - rooms_ : -1};
            for (int next : links) {
                if (next >= 0 && distance_[next] < 0) {
                    distance_[next] = distance_[here] + 1;
                    maxDistance_ = distance_[next] > maxDistance_ ? distance_[next] : maxDistance_;
                    from[next] = here;
                    queue.push_back(next);
                }
            }
        }
        for (int room = rooms_ * rooms_ - 1; room >= 0; room = from[room]) {
            path_.push_back(room);
        }
        std::vector<int> forward(path_.rbegin(), path_.rend());
        path_.swap(forward);
    }

    void fillRoom(EffectContext& c, int room, int dx, int dy, kit::Rgb colour) {
        const int x = origin_ + 2 + (room % rooms_) * 4 + dx * 2,
                  y = origin_ + 2 + (room / rooms_) * 4 + dy * 2;
        kit::fillRect(c, static_cast<float>(x), static_cast<float>(y), x + 2.0f, y + 2.0f, colour);
    }

    kit::Rgb roomColour(int room) const {
        if (stage_ != Stage::digging && distance_[room] >= 0 && distance_[room] <= front_) {
            return kit::hsv(hue_ + distance_[room] / (maxDistance_ + 1.0f) * 0.7f, 0.7f, 0.8f);
        }
        return visited_[room] ? kit::fromLevels(150, 156, 170) : kit::fromLevels(34, 34, 44);
    }

    void draw(EffectContext& c) {
        kit::fillColours(c, kit::fromLevels(14, 12, 20), true);
        const int total = rooms_ * rooms_;
        for (int room = 0; room < total; ++room) {
            const kit::Rgb colour = roomColour(room);
            fillRoom(c, room, 0, 0, colour);
            if (east_[room]) {
                fillRoom(c, room, 1, 0, kit::mix(colour, roomColour(room + 1), 0.5f));
            }
            if (south_[room]) {
                fillRoom(c, room, 0, 1, kit::mix(colour, roomColour(room + rooms_), 0.5f));
            }
        }
        if (stage_ == Stage::digging) {
            // The trail back to the start glows amber; the head is bright.
            for (size_t k = 0; k < stack_.size(); ++k) {
                fillRoom(c, stack_[k], 0, 0, kit::fromLevels(230, 150, 40));
            }
            if (!stack_.empty()) {
                fillRoom(c, stack_.back(), 0, 0, kit::fromLevels(255, 250, 220));
            }
        }
        if (stage_ == Stage::tracing) {
            const int shown =
                progress_ < static_cast<int>(path_.size()) ? progress_ : static_cast<int>(path_.size());
            const float pulse = 0.75f + 0.25f * fastSin((c.framesSinceStart + 1) * 0.3f);
            for (int k = 0; k < shown; ++k) {
                const int room = path_[k];
                fillRoom(c, room, 0, 0, kit::shade(kit::white, pulse));
                if (k + 1 < shown) {
                    const int next = path_[k + 1];
                    const int lo = next < room ? next : room;
                    fillRoom(c, lo, next - room == 1 || room - next == 1 ? 1 : 0,
                             next - room == 1 || room - next == 1 ? 0 : 1, kit::shade(kit::white, pulse));
                }
            }
        }
        // Entrance and exit marks.
        fillRoom(c, 0, -1, 0, kit::fromLevels(80, 230, 90));
        fillRoom(c, total - 1, 1, 0, kit::fromLevels(240, 70, 70));
    }

    int rooms_ = 1;
    int origin_ = 0;
    std::vector<uint8_t> visited_;
    std::vector<uint8_t> east_;
    std::vector<uint8_t> south_;
    std::vector<int> distance_;
    std::vector<int> stack_;
    std::vector<int> path_;
    Stage stage_ = Stage::digging;
    float front_ = 0.0f;
    int maxDistance_ = 0;
    int progress_ = 0;
    float hue_ = 0.0f;
};

} // namespace

GLOWFIELD_REGISTER_EFFECT(Maze);

} // namespace glowfield
