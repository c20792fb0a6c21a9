#include "base/StringBlocks.h"

namespace {

// Part numbers of the motors in the drive/motor model list, one per row, in list order; each
// drive size has its own block: KVDM15 from 916 (14 rows), KVDM20 from 930 (17), KVDM30 from
// 947 (23), KVDM50 from 970 (14), KVDM75 from 984 (6).
//
// A part number reads OSM<ppp>-<ss><e>-<d><m><v>:
//   ppp  rated power in tens of watts (012 = 120 W, 150 = 1.5 kW);
//   ss   rated speed in hundreds of rpm (10, 15, 20, 30);
//   e    encoder: P 2000 ppr, Q 2500 ppr, S 8192 ppr;
//   d m  drive frame and the motor's place in that frame's family (the model code's hex
//        digits 2 and 1);
//   v    build: A the standard motor (encoder digit 0..2), B the alternate build that the
//        model code marks with encoder digit 3 or 4.
constexpr StringEntry kMotorModelEntries[] = {
    // KVDM15
    {916, "OSM012-30P-11A"}, // 0110 KVDM15 120W 3000rpm 2000ppr
    {917, "OSM010-30Q-11A"}, // 1111 KVDM15 100W 3000rpm 2500ppr
    {918, "OSM010-30S-11A"}, // 0112 KVDM15 100W 3000rpm 8192ppr
    {919, "OSM030-30P-12A"}, // 0120 KVDM15 300W 3000rpm 2000ppr
    {920, "OSM030-30Q-12A"}, // 0121 KVDM15 300W 3000rpm 2500ppr
    {921, "OSM030-30S-12A"}, // 0122 KVDM15 300W 3000rpm 8192ppr
    {922, "OSM020-30P-13A"}, // 0130 KVDM15 200W 3000rpm 2000ppr
    {923, "OSM020-30Q-13B"}, // 1133 KVDM15 200W 3000rpm 2500ppr
    {924, "OSM020-30S-13B"}, // 1134 KVDM15 200W 3000rpm 8192ppr
    {925, "OSM040-30P-14A"}, // 0140 KVDM15 400W 3000rpm 2000ppr
    {926, "OSM040-30Q-14A"}, // 1141 KVDM15 400W 3000rpm 2500ppr
    {927, "OSM040-30S-14A"}, // 0142 KVDM15 400W 3000rpm 8192ppr
    {928, "OSM040-30Q-14B"}, // 1143 KVDM15 400W 3000rpm 2500ppr
    {929, "OSM040-30S-14B"}, // 1144 KVDM15 400W 3000rpm 8192ppr
    // KVDM20
    {930, "OSM075-30P-21A"}, // 0210 KVDM20 750W 3000rpm 2000ppr
    {931, "OSM075-30Q-21A"}, // 0211 KVDM20 750W 3000rpm 2500ppr
    {932, "OSM075-30S-21A"}, // 0212 KVDM20 750W 3000rpm 8192ppr
    {933, "OSM040-30P-22A"}, // 0220 KVDM20 400W 3000rpm 2000ppr
    {934, "OSM040-30Q-22A"}, // 1221 KVDM20 400W 3000rpm 2500ppr
    {935, "OSM040-30S-22A"}, // 0222 KVDM20 400W 3000rpm 8192ppr
    {936, "OSM040-30Q-22B"}, // 1223 KVDM20 400W 3000rpm 2500ppr
    {937, "OSM040-30S-22B"}, // 1224 KVDM20 400W 3000rpm 8192ppr
    {938, "OSM075-30P-23A"}, // 0230 KVDM20 750W 3000rpm 2000ppr
    {939, "OSM075-30Q-23B"}, // 1233 KVDM20 750W 3000rpm 2500ppr
    {940, "OSM075-30S-23B"}, // 1234 KVDM20 750W 3000rpm 8192ppr
    {941, "OSM055-10P-24A"}, // 0240 KVDM20 550W 1000rpm 2000ppr
    {942, "OSM055-10Q-24A"}, // 0241 KVDM20 550W 1000rpm 2500ppr
    {943, "OSM055-10S-24A"}, // 0242 KVDM20 550W 1000rpm 8192ppr
    {944, "OSM055-15P-25A"}, // 0250 KVDM20 550W 1500rpm 2000ppr
    {945, "OSM055-15Q-25A"}, // 0251 KVDM20 550W 1500rpm 2500ppr
    {946, "OSM055-15S-25A"}, // 0252 KVDM20 550W 1500rpm 8192ppr
    // KVDM30
    {947, "OSM075-30P-31A"}, // 0310 KVDM30 750W 3000rpm 2000ppr
    {948, "OSM075-30Q-31B"}, // 1313 KVDM30 750W 3000rpm 2500ppr
    {949, "OSM075-30S-31B"}, // 1314 KVDM30 750W 3000rpm 8192ppr
    {950, "OSM100-10P-32A"}, // 0320 KVDM30 1KW 1000rpm 2000ppr
    {951, "OSM100-10Q-32A"}, // 0321 KVDM30 1KW 1000rpm 2500ppr
    {952, "OSM100-10S-32A"}, // 0322 KVDM30 1KW 1000rpm 8192ppr
    {953, "OSM100-20P-33A"}, // 0330 KVDM30 1KW 2000rpm 2000ppr
    {954, "OSM100-20Q-33A"}, // 0331 KVDM30 1KW 2000rpm 2500ppr
    {955, "OSM100-20S-33A"}, // 0332 KVDM30 1KW 2000rpm 8192ppr
    {956, "OSM100-15P-34A"}, // 0340 KVDM30 1KW 1500rpm 2000ppr
    {957, "OSM100-15Q-34A"}, // 0341 KVDM30 1KW 1500rpm 2500ppr
    {958, "OSM100-15S-34A"}, // 0342 KVDM30 1KW 1500rpm 8192ppr
    {959, "OSM100-30Q-35A"}, // 0351 KVDM30 1KW 3000rpm 2500ppr
    {960, "OSM100-30S-35A"}, // 0352 KVDM30 1KW 3000rpm 8192ppr
    {961, "OSM150-10P-36A"}, // 0360 KVDM30 1.5KW 1000rpm 2000ppr
    {962, "OSM150-10Q-36A"}, // 0361 KVDM30 1.5KW 1000rpm 2500ppr
    {963, "OSM150-10S-36A"}, // 0362 KVDM30 1.5KW 1000rpm 8192ppr
    {964, "OSM150-20P-37A"}, // 0370 KVDM30 1.5KW 2000rpm 2000ppr
    {965, "OSM150-20Q-37A"}, // 0371 KVDM30 1.5KW 2000rpm 2500ppr
    {966, "OSM150-20S-37A"}, // 0372 KVDM30 1.5KW 2000rpm 8192ppr
    {967, "OSM150-30P-38A"}, // 0380 KVDM30 1.5KW 3000rpm 2000ppr
    {968, "OSM150-30Q-38A"}, // 0381 KVDM30 1.5KW 3000rpm 2500ppr
    {969, "OSM150-30S-38A"}, // 0382 KVDM30 1.5KW 3000rpm 8192ppr
    // KVDM50
    {970, "OSM150-10P-51A"}, // 0510 KVDM50 1.5KW 1000rpm 2000ppr
    {971, "OSM150-10Q-51A"}, // 0511 KVDM50 1.5KW 1000rpm 2500ppr
    {972, "OSM150-10S-51A"}, // 0512 KVDM50 1.5KW 1000rpm 8192ppr
    {973, "OSM150-20P-52A"}, // 0520 KVDM50 1.5KW 2000rpm 2000ppr
    {974, "OSM150-20Q-52A"}, // 0521 KVDM50 1.5KW 2000rpm 2500ppr
    {975, "OSM150-20S-52A"}, // 0522 KVDM50 1.5KW 2000rpm 8192ppr
    {976, "OSM150-30P-53A"}, // 0530 KVDM50 1.5KW 3000rpm 2000ppr
    {977, "OSM150-30Q-53A"}, // 0531 KVDM50 1.5KW 3000rpm 2500ppr
    {978, "OSM150-30S-53A"}, // 0532 KVDM50 1.5KW 3000rpm 8192ppr
    {979, "OSM200-20P-54A"}, // 0540 KVDM50 2KW 2000rpm 2000ppr
    {980, "OSM200-20Q-54A"}, // 0541 KVDM50 2KW 2000rpm 2500ppr
    {981, "OSM200-20S-54A"}, // 0542 KVDM50 2KW 2000rpm 8192ppr
    {982, "OSM200-30Q-55A"}, // 0551 KVDM50 2KW 3000rpm 2500ppr
    {983, "OSM200-30S-55A"}, // 0552 KVDM50 2KW 3000rpm 8192ppr
    // KVDM75
    {984, "OSM300-20P-71A"}, // 0710 KVDM75 3KW 2000rpm 2000ppr
    {985, "OSM300-20Q-71A"}, // 0711 KVDM75 3KW 2000rpm 2500ppr
    {986, "OSM300-20S-71A"}, // 0712 KVDM75 3KW 2000rpm 8192ppr
    {987, "OSM300-30P-72A"}, // 0720 KVDM75 3KW 3000rpm 2000ppr
    {988, "OSM300-30Q-72A"}, // 0721 KVDM75 3KW 3000rpm 2500ppr
    {989, "OSM300-30S-72A"}, // 0722 KVDM75 3KW 3000rpm 8192ppr
};

} // namespace

std::span<const StringEntry> MotorModelStrings() {
    return kMotorModelEntries;
}
