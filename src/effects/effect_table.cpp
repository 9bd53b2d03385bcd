#include "effects/effect_table.h"

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "field/random.h"

namespace glowfield {

// In selection order: the index is the effect's number for keys, the sequence table and random choice.
//
// Entries whose own drawing is not part of this program are drawn by one of the built effects, chosen in turn
// from the effects that draw a picture of their own (not the ones that only transform what is there), so that
// every entry, chosen at random or by key, shows something. Each keeps its own name.
const EffectEntry EffectTable[effectCount] = {
    {flower, "Sphere"},                // 0, drawn by "Flower"
    {flower, "Flower"},                // 1
    {kaleidisco, "Kaleidisco"},        // 2
    {lace, "Lace"},                    // 3
    {magnesiumFire, "Magnesium Fire"}, // 4
    {pond, "Pond"},                    // 5
    {primaryBoats, "Primary Boats"},   // 6
    {ripple, "Ripple"},                // 7
    {smear, "Smear"},                  // 8
    {tartan, "Tartan"},                // 9
    {ten, "Ten"},                      // 10
    {theVapours, "The Vapours"},       // 11
    {twitch, "Twitch"},                // 12
    {wheel, "Wheel"},                  // 13
    {wiggle, "Wiggle"},                // 14
    {mirror, "Mirror"},                // 15
    {sunburn, "Sunburn"},              // 16
    {fishnet, "Fishnet"},              // 17
    {bright, "Bright"},                // 18
    {lightning, "Lightning"},          // 19
    {speckle, "Speckle"},              // 20
    {grill, "Grill"},                  // 21
    {snowflake, "Snowflake"},          // 22
    {predator, "Predator"},            // 23
    {stareOGran, "Stare-O-Gran"},      // 24
    {kaleidisco, "Tablecloth"},        // 25, drawn by "Kaleidisco"
    {lace, "Spiro"},                   // 26, drawn by "Lace"
    {magnesiumFire, "Fireworks"},      // 27, drawn by "Magnesium Fire"
    {pond, "Explosion"},               // 28, drawn by "Pond"
    {primaryBoats, "Firestorm"},       // 29, drawn by "Primary Boats"
    {ripple, "PickAsso"},              // 30, drawn by "Ripple"
    {smear, "Ghost"},                  // 31, drawn by "Smear"
    {tartan, "Blobby"},                // 32, drawn by "Tartan"
    {ten, "Crayon"},                   // 33, drawn by "Ten"
    {theVapours, "Nebula"},            // 34, drawn by "The Vapours"
    {twitch, "Iris"},                  // 35, drawn by "Twitch"
    {wheel, "Cyclone"},                // 36, drawn by "Wheel"
    {wiggle, "Joe-90"},                // 37, drawn by "Wiggle"
    {sunburn, "Doily"},                // 38, drawn by "Sunburn"
    {fishnet, "Boom"},                 // 39, drawn by "Fishnet"
    {bright, "Waffle"},                // 40, drawn by "Bright"
    {lightning, "Outpour"},            // 41, drawn by "Lightning"
    {predator, "Earth"},               // 42, drawn by "Predator"
    {volcano, "Zippy"},                // 43, drawn by "Volcano"
    {inkblot, "Wavey Davey"},          // 44, drawn by "Inkblot"
    {swarm, "Rope"},                   // 45, drawn by "Swarm"
    {quoonirky, "Loop"},               // 46, drawn by "Quoonirky"
    {fleshEating, "Block"},            // 47, drawn by "Flesh Eating"
    {upsilon, "Mirage"},               // 48, drawn by "Upsilon"
    {drWho, "Thunder"},                // 49, drawn by "Dr Who"
    {fingerprint, "Horror Bull"},      // 50, drawn by "Fingerprint"
    {cartwheel, "Keep Alive"},         // 51, drawn by "Cartwheel"
    {balls, "Drain"},                  // 52, drawn by "Balls"
    {lava, "Night"},                   // 53, drawn by "lava"
    {pumpUp, "Acid"},                  // 54, drawn by "Pump Up"
    {anemone, "Velour"},               // 55, drawn by "Anemone"
    {zebra, "X-cellant"},              // 56, drawn by "Zebra"
    {jamaica, "Quality Init"},         // 57, drawn by "Jamaica"
    {netball, "Octopussy"},            // 58, drawn by "Netball"
    {lips, "Gravity"},                 // 59, drawn by "Lips"
    {mPourer, "Helix"},                // 60, drawn by "M-Pourer"
    {dart, "Airstrike"},               // 61, drawn by "Dart"
    {squareRoot, "Maple"},             // 62, drawn by "SquareRoot"
    {oranGeena, "Fibre"},              // 63, drawn by "OranGeena"
    {jumper, "Regions"},               // 64, drawn by "Jumper"
    {boSelecta, "Northern Lights"},    // 65, drawn by "Bo Selecta"
    {spongeTrek, "Erection"},          // 66, drawn by "SpongeTrek"
    {whiffle, "Glass Stain"},          // 67, drawn by "Whiffle"
    {hanky, "69"},                     // 68, drawn by "Hanky"
    {scatter, "Paintball"},            // 69, drawn by "Scatter"
    {flower, "Crest"},                 // 70, drawn by "Flower"
    {kaleidisco, "Universe"},          // 71, drawn by "Kaleidisco"
    {lace, "Yum Yum"},                 // 72, drawn by "Lace"
    {magnesiumFire, "Maze"},           // 73, drawn by "Magnesium Fire"
    {pond, "Very Nice"},               // 74, drawn by "Pond"
    {primaryBoats, "Eclipse"},         // 75, drawn by "Primary Boats"
    {ripple, "3"},                     // 76, drawn by "Ripple"
    {smear, "Kangarude"},              // 77, drawn by "Smear"
    {tartan, "Whatever"},              // 78, drawn by "Tartan"
    {ten, "Mordor"},                   // 79, drawn by "Ten"
    {theVapours, "Use The Mouse"},     // 80, drawn by "The Vapours"
    {twitch, "Mouse Hole"},            // 81, drawn by "Twitch"
    {wheel, "Dangle"},                 // 82, drawn by "Wheel"
    {wiggle, "Reflect-Toe"},           // 83, drawn by "Wiggle"
    {sunburn, "PlasmoPlato"},          // 84, drawn by "Sunburn"
    {fishnet, "Image"},                // 85, drawn by "Fishnet"
    {bright, "Holy Shit"},             // 86, drawn by "Bright"
    {lightning, "Bits"},               // 87, drawn by "Lightning"
    {predator, "Hobb"},                // 88, drawn by "Predator"
    {volcano, "Growth"},               // 89, drawn by "Volcano"
    {inkblot, "Jeepers"},              // 90, drawn by "Inkblot"
    {swarm, "ElectroSphere"},          // 91, drawn by "Swarm"
    {quoonirky, "Zulu"},               // 92, drawn by "Quoonirky"
    {fleshEating, "Neon"},             // 93, drawn by "Flesh Eating"
    {upsilon, "CollyFlower"},          // 94, drawn by "Upsilon"
    {drWho, "Hairy Tiles"},            // 95, drawn by "Dr Who"
    {fingerprint, "Ficky Stingers"},   // 96, drawn by "Fingerprint"
    {cartwheel, "Crackle"},            // 97, drawn by "Cartwheel"
    {balls, "99"},                     // 98, drawn by "Balls"
    {lava, "Even"},                    // 99, drawn by "lava"
    {pumpUp, "Jolly"},                 // 100, drawn by "Pump Up"
    {anemone, "Buddha"},               // 101, drawn by "Anemone"
    {zebra, "Outline"},                // 102, drawn by "Zebra"
    {jamaica, "Life"},                 // 103, drawn by "Jamaica"
    {netball, "Zanzibar"},             // 104, drawn by "Netball"
    {lips, "Arch"},                    // 105, drawn by "Lips"
    {mPourer, "Drip"},                 // 106, drawn by "M-Pourer"
    {dart, "Jellyfish"},               // 107, drawn by "Dart"
    {squareRoot, "Ignition"},          // 108, drawn by "SquareRoot"
    {volcano, "Volcano"},              // 109
    {inkblot, "Inkblot"},              // 110
    {swarm, "Swarm"},                  // 111
    {four, "4"},                       // 112
    {oily, "Oily"},                    // 113
    {quoonirky, "Quoonirky"},          // 114
    {fleshEating, "Flesh Eating"},     // 115
    {tunnel, "Tunnel"},                // 116
    {accelerate, "Accelerate"},        // 117
    {upsilon, "Upsilon"},              // 118
    {drWho, "Dr Who"},                 // 119
    {fingerprint, "Fingerprint"},      // 120
    {cartwheel, "Cartwheel"},          // 121
    {balls, "Balls"},                  // 122
    {lava, "lava"},                    // 123
    {pumpUp, "Pump Up"},               // 124
    {wip, "Wip"},                      // 125
    {asparagus, "Asparagus"},          // 126
    {anemone, "Anemone"},              // 127
    {zebra, "Zebra"},                  // 128
    {jamaica, "Jamaica"},              // 129
    {netball, "Netball"},              // 130
    {lips, "Lips"},                    // 131
    {mPourer, "M-Pourer"},             // 132
    {dart, "Dart"},                    // 133
    {squareRoot, "SquareRoot"},        // 134
    {oranGeena, "Heaven"},             // 135, drawn by "OranGeena"
    {jumper, "Get Outta Here"},        // 136, drawn by "Jumper"
    {boSelecta, "Throb"},              // 137, drawn by "Bo Selecta"
    {spongeTrek, "Frozen"},            // 138, drawn by "SpongeTrek"
    {whiffle, "Viscous"},              // 139, drawn by "Whiffle"
    {hanky, "Horlicks"},               // 140, drawn by "Hanky"
    {scatter, "Dune"},                 // 141, drawn by "Scatter"
    {flower, "Chaos"},                 // 142, drawn by "Flower"
    {kaleidisco, "Yuck"},              // 143, drawn by "Kaleidisco"
    {lace, "Magna"},                   // 144, drawn by "Lace"
    {magnesiumFire, "UFO"},            // 145, drawn by "Magnesium Fire"
    {pond, "Landing"},                 // 146, drawn by "Pond"
    {primaryBoats, "Bubble"},          // 147, drawn by "Primary Boats"
    {ripple, "Meltdown"},              // 148, drawn by "Ripple"
    {smear, "Umbrella"},               // 149, drawn by "Smear"
    {tartan, "Embryo"},                // 150, drawn by "Tartan"
    {ten, "Sphere2"},                  // 151, drawn by "Ten"
    {theVapours, "Sphere3"},           // 152, drawn by "The Vapours"
    {twitch, "Image2"},                // 153, drawn by "Twitch"
    {wheel, "River"},                  // 154, drawn by "Wheel"
    {wiggle, "River2"},                // 155, drawn by "Wiggle"
    {sunburn, "Dots"},                 // 156, drawn by "Sunburn"
    {fishnet, "Fish"},                 // 157, drawn by "Fishnet"
    {bright, "Flame"},                 // 158, drawn by "Bright"
    {lightning, "Floral"},             // 159, drawn by "Lightning"
    {predator, "Mojo"},                // 160, drawn by "Predator"
    {volcano, "Galaxy"},               // 161, drawn by "Volcano"
    {inkblot, "Ring Oh"},              // 162, drawn by "Inkblot"
    {swarm, "Bagel"},                  // 163, drawn by "Swarm"
    {quoonirky, "Wire"},               // 164, drawn by "Quoonirky"
    {fleshEating, "Expansion"},        // 165, drawn by "Flesh Eating"
    {upsilon, "SphereRise"},           // 166, drawn by "Upsilon"
    {drWho, "Kryptonight"},            // 167, drawn by "Dr Who"
    {fingerprint, "Manta"},            // 168, drawn by "Fingerprint"
    {cartwheel, "Burst"},              // 169, drawn by "Cartwheel"
    {balls, "X-Static"},               // 170, drawn by "Balls"
    {lava, "X-Sighting"},              // 171, drawn by "lava"
    {pumpUp, "BedSprings"},            // 172, drawn by "Pump Up"
    {anemone, "Cluster"},              // 173, drawn by "Anemone"
    {zebra, "Flex"},                   // 174, drawn by "Zebra"
    {jamaica, "Knots"},                // 175, drawn by "Jamaica"
    {netball, "Xmas"},                 // 176, drawn by "Netball"
    {lips, "Y Do Birds"},              // 177, drawn by "Lips"
    {mPourer, "Conetto"},              // 178, drawn by "M-Pourer"
    {dart, "Quibble"},                 // 179, drawn by "Dart"
    {squareRoot, "Oops"},              // 180, drawn by "SquareRoot"
    {oranGeena, "Uplink"},             // 181, drawn by "OranGeena"
    {jumper, "Let It Snow"},           // 182, drawn by "Jumper"
    {boSelecta, "DNA"},                // 183, drawn by "Bo Selecta"
    {oranGeena, "OranGeena"},          // 184
    {jumper, "Jumper"},                // 185
    {boSelecta, "Bo Selecta"},         // 186
    {gasFire, "Gas Fire"},             // 187
    {spongeTrek, "SpongeTrek"},        // 188
    {whiffle, "Whiffle"},              // 189
    {floatEffect, "Float"},            // 190
    {hanky, "Hanky"},                  // 191
    {letters, "Letters"},              // 192
    {scatter, "Scatter"},              // 193
    {spongeTrek, "Divide"},            // 194, drawn by "SpongeTrek"
    {whiffle, "BreakUp"},              // 195, drawn by "Whiffle"
    {hanky, "Pulsate"},                // 196, drawn by "Hanky"
    {scatter, "Suck"},                 // 197, drawn by "Scatter"
    {flower, "VidWall"},               // 198, drawn by "Flower"
    {kaleidisco, "Easeall"},           // 199, drawn by "Kaleidisco"
    {lace, "I Dont Know"},             // 200, drawn by "Lace"
    {magnesiumFire, "Fragments"},      // 201, drawn by "Magnesium Fire"
    {pond, "Car Park"},                // 202, drawn by "Pond"
    {primaryBoats, "InEdible"},        // 203, drawn by "Primary Boats"
    {ripple, "What The"},              // 204, drawn by "Ripple"
    {smear, "Take Off"},               // 205, drawn by "Smear"
    {tartan, "Wessex"},                // 206, drawn by "Tartan"
    {ten, "Worm"},                     // 207, drawn by "Ten"
    {theVapours, "WibbleWorld"},       // 208, drawn by "The Vapours"
    {twitch, "Soup"},                  // 209, drawn by "Twitch"
    {wheel, "Drag"},                   // 210, drawn by "Wheel"
    {wiggle, "Push"},                  // 211, drawn by "Wiggle"
    {sunburn, "Fireball"},             // 212, drawn by "Sunburn"
    {fishnet, "Distort"},              // 213, drawn by "Fishnet"
    {bright, "Shimmer"},               // 214, drawn by "Bright"
    {lightning, "Vortex"},             // 215, drawn by "Lightning"
    {predator, "Baubles"},             // 216, drawn by "Predator"
    {volcano, "Matmos"},               // 217, drawn by "Volcano"
    {inkblot, "Sprite"},               // 218, drawn by "Inkblot"
    {swarm, "Wash It"},                // 219, drawn by "Swarm"
    {quoonirky, "Conway"},             // 220, drawn by "Quoonirky"
    {fleshEating, "MarbleWorld"},      // 221, drawn by "Flesh Eating"
    {upsilon, "Tangle"},               // 222, drawn by "Upsilon"
    {drWho, "Murder"},                 // 223, drawn by "Dr Who"
    {fingerprint, "Scramble"},         // 224, drawn by "Fingerprint"
    {cartwheel, "Downpour"},           // 225, drawn by "Cartwheel"
    {balls, "Phish"},                  // 226, drawn by "Balls"
    {lava, "Crackle2"},                // 227, drawn by "lava"
    {pumpUp, "Boxes"},                 // 228, drawn by "Pump Up"
    {anemone, "Spew"},                 // 229, drawn by "Anemone"
    {zebra, "Ocean"},                  // 230, drawn by "Zebra"
    {jamaica, "AnotherOne"},           // 231, drawn by "Jamaica"
    {netball, "Womble"},               // 232, drawn by "Netball"
    {lips, "Woah"},                    // 233, drawn by "Lips"
    {mPourer, "LooneyTunes"},          // 234, drawn by "M-Pourer"
    {dart, "Check"},                   // 235, drawn by "Dart"
    {squareRoot, "Loops"},             // 236, drawn by "SquareRoot"
    {oranGeena, "Tumble"},             // 237, drawn by "OranGeena"
    {jumper, "Solar"},                 // 238, drawn by "Jumper"
    {boSelecta, "Swirly"},             // 239, drawn by "Bo Selecta"
    {spongeTrek, "new"},               // 240, drawn by "SpongeTrek"
    {whiffle, nullptr},                // 241, drawn by "Whiffle"
};

const char* effectName(int index) {
    if (index < 0 || index >= effectCount) {
        return nullptr;
    }
    return EffectTable[index].name;
}

void runCurrentEffect() {
    EffectTable[shared.currentEffect & 0xff].routine();
}

void selectEffect(int index) {
    // Only the low byte is stored; every caller passes an index below 242, and a larger low byte is folded
    // into the table so that it can never be indexed beyond its end.
    int lowByte = index & 0xff;
    if (lowByte >= effectCount) {
        lowByte %= effectCount;
    }
    shared.currentEffect = (shared.currentEffect & ~0xff) | lowByte;
}

void checkAutomaticSwitch() {
    if (shared.frameCounter % shared.switchPeriod == 0) {
        ++shared.frameCounter;
        selectEffect(nextRandom() % effectCount);
    }
}

void forceEffectChange() {
    shared.frameCounter = shared.frameCounter - 1 - shared.frameCounter % shared.switchPeriod;
}

bool isFirstFrame() {
    return shared.frameCounter % shared.switchPeriod == 1;
}

} // namespace glowfield
