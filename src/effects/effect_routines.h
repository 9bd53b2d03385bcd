// Every effect routine of the effect table. Each file of this folder holds one family of effects.
#pragma once

namespace glowfield {

// effects_001_008.cpp: spokes, pulses, curves, flares and spirals.
void flower();        // 1
void kaleidisco();    // 2
void lace();          // 3
void magnesiumFire(); // 4
void pond();          // 5
void primaryBoats();  // 6
void ripple();        // 7
void smear();         // 8

// effects_009_016.cpp: lattices, spirals, borders, circles and mirrors.
void tartan();     // 9
void ten();        // 10
void theVapours(); // 11
void twitch();     // 12
void wheel();      // 13
void wiggle();     // 14
void mirror();     // 15
void sunburn();    // 16

// effects_017_019.cpp: rings, bright spots and lightning.
void fishnet();   // 17
void bright();    // 18
void lightning(); // 19

// effects_020_022.cpp: specks, the picture relief and the snowflake.
void speckle();   // 20
void grill();     // 21
void snowflake(); // 22

// effects_023_024.cpp: wandering points and the column cascade.
void predator();   // 23
void stareOGran(); // 24

// effects_109_116.cpp: particle swarms, mirrors and tunnels.
void volcano();     // 109
void inkblot();     // 110
void swarm();       // 111
void four();        // 112
void oily();        // 113
void quoonirky();   // 114
void fleshEating(); // 115
void tunnel();      // 116

// effects_117_124.cpp: zooms, mirrors, shaded balls and bar graphs.
void accelerate();  // 117
void upsilon();     // 118
void drWho();       // 119
void fingerprint(); // 120
void cartwheel();   // 121
void balls();       // 122
void lava();        // 123
void pumpUp();      // 124

// effects_125_131.cpp: perspective particles, meshes and relief.
void wip();       // 125
void asparagus(); // 126
void anemone();   // 127
void zebra();     // 128
void jamaica();   // 129
void netball();   // 130
void lips();      // 131

// effects_132_134.cpp: rolling and bouncing particles.
void mPourer();    // 132
void dart();       // 133
void squareRoot(); // 134

// effects_184_191.cpp: rotating point models and phase fields.
void oranGeena();   // 184
void jumper();      // 185
void boSelecta();   // 186
void gasFire();     // 187
void spongeTrek();  // 188
void whiffle();     // 189
void floatEffect(); // 190
void hanky();       // 191

// effects_192_193.cpp: dark holes and flying letters.
void letters(); // 192
void scatter(); // 193

} // namespace glowfield
