// The one world: a reset leaves nothing of a run behind, whatever part of the world the run touched.
#include <cstring>
#include <memory>

#include "app/frame_loop.h"
#include "effects/catalogue.h"
#include "effects/world.h"
#include "field/drawing.h"
#include "field/random.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

class WorldReset : public StateTest {
  protected:
    // True when the world holds exactly the bytes of one made afresh (on the heap: it is megabytes).
    static bool likeAFreshWorld() {
        const auto fresh = std::make_unique<World>();
        return std::memcmp(static_cast<const void*>(&world), static_cast<const void*>(fresh.get()),
                           sizeof(World)) == 0;
    }
};

TEST_F(WorldReset, LeavesTheBytesOfAFreshWorldAfterARunThatTouchedEveryPart) {
    EXPECT_TRUE(likeAFreshWorld());
    // Each part, through the calls the program makes: start-up fills the planes, the generator and the sine
    // table; an effect of its own stays running; a particle routine fills the store and its shared values;
    // a 3-D line leaves the drawing scratch; a picture lands in the picture planes.
    prepareField(7);
    startWithEffect(session, 0);
    runFrames(5);
    selectEffect(115);
    runFrames(5);
    drawLine3D(10, 10, 5, 150, 120, 40, 90, 60, 30, 3);
    TempDir folder;
    BmpLayout layout;
    layout.width = 300;
    layout.height = 200;
    layout.colour = [](int l, int k) { return static_cast<uint32_t>(l * 7 + k * 131); };
    writeBmp(folder.file("wall.bmp"), layout);
    setPictureDirectory(folder.path());
    loadRandomPicture();
    ASSERT_GT(picture.pictureWidth, 0);
    ASSERT_FALSE(likeAFreshWorld());

    resetWorld();
    EXPECT_TRUE(likeAFreshWorld());
    // The names the older routines use still reach the rebuilt world.
    EXPECT_EQ(&planes, &world.planes);
    EXPECT_EQ(&shared, &world.shared);
    EXPECT_EQ(field.gridSize, 154);
    EXPECT_EQ(shared.currentEffect, 269);
}

} // namespace
} // namespace glowfield::test
