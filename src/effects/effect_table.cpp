#include "effects/effect_table.h"

#include "effects/effect_routines.h"
#include "effects/effect_state.h"
#include "field/random.h"

namespace glowfield {

// In selection order: the index is the effect's number for keys, the sequence table and random choice.
const EffectEntry EffectTable[effectCount] = {
    {noEffect, "Sphere"},              // 0
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
    {noEffect, "Tablecloth"},          // 25
    {noEffect, "Spiro"},               // 26
    {noEffect, "Fireworks"},           // 27
    {noEffect, "Explosion"},           // 28
    {noEffect, "Firestorm"},           // 29
    {noEffect, "PickAsso"},            // 30
    {noEffect, "Ghost"},               // 31
    {noEffect, "Blobby"},              // 32
    {noEffect, "Crayon"},              // 33
    {noEffect, "Nebula"},              // 34
    {noEffect, "Iris"},                // 35
    {noEffect, "Cyclone"},             // 36
    {noEffect, "Joe-90"},              // 37
    {noEffect, "Doily"},               // 38
    {noEffect, "Boom"},                // 39
    {noEffect, "Waffle"},              // 40
    {noEffect, "Outpour"},             // 41
    {noEffect, "Earth"},               // 42
    {noEffect, "Zippy"},               // 43
    {noEffect, "Wavey Davey"},         // 44
    {noEffect, "Rope"},                // 45
    {noEffect, "Loop"},                // 46
    {noEffect, "Block"},               // 47
    {noEffect, "Mirage"},              // 48
    {noEffect, "Thunder"},             // 49
    {noEffect, "Horror Bull"},         // 50
    {noEffect, "Keep Alive"},          // 51
    {noEffect, "Drain"},               // 52
    {noEffect, "Night"},               // 53
    {noEffect, "Acid"},                // 54
    {noEffect, "Velour"},              // 55
    {noEffect, "X-cellant"},           // 56
    {noEffect, "Quality Init"},        // 57
    {noEffect, "Octopussy"},           // 58
    {noEffect, "Gravity"},             // 59
    {noEffect, "Helix"},               // 60
    {noEffect, "Airstrike"},           // 61
    {noEffect, "Maple"},               // 62
    {noEffect, "Fibre"},               // 63
    {noEffect, "Regions"},             // 64
    {noEffect, "Northern Lights"},     // 65
    {noEffect, "Erection"},            // 66
    {noEffect, "Glass Stain"},         // 67
    {noEffect, "69"},                  // 68
    {noEffect, "Paintball"},           // 69
    {noEffect, "Crest"},               // 70
    {noEffect, "Universe"},            // 71
    {noEffect, "Yum Yum"},             // 72
    {noEffect, "Maze"},                // 73
    {noEffect, "Very Nice"},           // 74
    {noEffect, "Eclipse"},             // 75
    {noEffect, "3"},                   // 76
    {noEffect, "Kangarude"},           // 77
    {noEffect, "Whatever"},            // 78
    {noEffect, "Mordor"},              // 79
    {noEffect, "Use The Mouse"},       // 80
    {noEffect, "Mouse Hole"},          // 81
    {noEffect, "Dangle"},              // 82
    {noEffect, "Reflect-Toe"},         // 83
    {noEffect, "PlasmoPlato"},         // 84
    {noEffect, "Image"},               // 85
    {noEffect, "Holy Shit"},           // 86
    {noEffect, "Bits"},                // 87
    {noEffect, "Hobb"},                // 88
    {noEffect, "Growth"},              // 89
    {noEffect, "Jeepers"},             // 90
    {noEffect, "ElectroSphere"},       // 91
    {noEffect, "Zulu"},                // 92
    {noEffect, "Neon"},                // 93
    {noEffect, "CollyFlower"},         // 94
    {noEffect, "Hairy Tiles"},         // 95
    {noEffect, "Ficky Stingers"},      // 96
    {noEffect, "Crackle"},             // 97
    {noEffect, "99"},                  // 98
    {noEffect, "Even"},                // 99
    {noEffect, "Jolly"},               // 100
    {noEffect, "Buddha"},              // 101
    {noEffect, "Outline"},             // 102
    {noEffect, "Life"},                // 103
    {noEffect, "Zanzibar"},            // 104
    {noEffect, "Arch"},                // 105
    {noEffect, "Drip"},                // 106
    {noEffect, "Jellyfish"},           // 107
    {noEffect, "Ignition"},            // 108
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
    {noEffect, "Heaven"},              // 135
    {noEffect, "Get Outta Here"},      // 136
    {noEffect, "Throb"},               // 137
    {noEffect, "Frozen"},              // 138
    {noEffect, "Viscous"},             // 139
    {noEffect, "Horlicks"},            // 140
    {noEffect, "Dune"},                // 141
    {noEffect, "Chaos"},               // 142
    {noEffect, "Yuck"},                // 143
    {noEffect, "Magna"},               // 144
    {noEffect, "UFO"},                 // 145
    {noEffect, "Landing"},             // 146
    {noEffect, "Bubble"},              // 147
    {noEffect, "Meltdown"},            // 148
    {noEffect, "Umbrella"},            // 149
    {noEffect, "Embryo"},              // 150
    {noEffect, "Sphere2"},             // 151
    {noEffect, "Sphere3"},             // 152
    {noEffect, "Image2"},              // 153
    {noEffect, "River"},               // 154
    {noEffect, "River2"},              // 155
    {noEffect, "Dots"},                // 156
    {noEffect, "Fish"},                // 157
    {noEffect, "Flame"},               // 158
    {noEffect, "Floral"},              // 159
    {noEffect, "Mojo"},                // 160
    {noEffect, "Galaxy"},              // 161
    {noEffect, "Ring Oh"},             // 162
    {noEffect, "Bagel"},               // 163
    {noEffect, "Wire"},                // 164
    {noEffect, "Expansion"},           // 165
    {noEffect, "SphereRise"},          // 166
    {noEffect, "Kryptonight"},         // 167
    {noEffect, "Manta"},               // 168
    {noEffect, "Burst"},               // 169
    {noEffect, "X-Static"},            // 170
    {noEffect, "X-Sighting"},          // 171
    {noEffect, "BedSprings"},          // 172
    {noEffect, "Cluster"},             // 173
    {noEffect, "Flex"},                // 174
    {noEffect, "Knots"},               // 175
    {noEffect, "Xmas"},                // 176
    {noEffect, "Y Do Birds"},          // 177
    {noEffect, "Conetto"},             // 178
    {noEffect, "Quibble"},             // 179
    {noEffect, "Oops"},                // 180
    {noEffect, "Uplink"},              // 181
    {noEffect, "Let It Snow"},         // 182
    {noEffect, "DNA"},                 // 183
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
    {noEffect, "Divide"},              // 194
    {noEffect, "BreakUp"},             // 195
    {noEffect, "Pulsate"},             // 196
    {noEffect, "Suck"},                // 197
    {noEffect, "VidWall"},             // 198
    {noEffect, "Easeall"},             // 199
    {noEffect, "I Dont Know"},         // 200
    {noEffect, "Fragments"},           // 201
    {noEffect, "Car Park"},            // 202
    {noEffect, "InEdible"},            // 203
    {noEffect, "What The"},            // 204
    {noEffect, "Take Off"},            // 205
    {noEffect, "Wessex"},              // 206
    {noEffect, "Worm"},                // 207
    {noEffect, "WibbleWorld"},         // 208
    {noEffect, "Soup"},                // 209
    {noEffect, "Drag"},                // 210
    {noEffect, "Push"},                // 211
    {noEffect, "Fireball"},            // 212
    {noEffect, "Distort"},             // 213
    {noEffect, "Shimmer"},             // 214
    {noEffect, "Vortex"},              // 215
    {noEffect, "Baubles"},             // 216
    {noEffect, "Matmos"},              // 217
    {noEffect, "Sprite"},              // 218
    {noEffect, "Wash It"},             // 219
    {noEffect, "Conway"},              // 220
    {noEffect, "MarbleWorld"},         // 221
    {noEffect, "Tangle"},              // 222
    {noEffect, "Murder"},              // 223
    {noEffect, "Scramble"},            // 224
    {noEffect, "Downpour"},            // 225
    {noEffect, "Phish"},               // 226
    {noEffect, "Crackle2"},            // 227
    {noEffect, "Boxes"},               // 228
    {noEffect, "Spew"},                // 229
    {noEffect, "Ocean"},               // 230
    {noEffect, "AnotherOne"},          // 231
    {noEffect, "Womble"},              // 232
    {noEffect, "Woah"},                // 233
    {noEffect, "LooneyTunes"},         // 234
    {noEffect, "Check"},               // 235
    {noEffect, "Loops"},               // 236
    {noEffect, "Tumble"},              // 237
    {noEffect, "Solar"},               // 238
    {noEffect, "Swirly"},              // 239
    {noEffect, "new"},                 // 240
    {noEffect, nullptr},               // 241
};

void noEffect() {}

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
