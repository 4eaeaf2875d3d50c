// The program's icon: a speech balloon with lettering, in 16 colours (VGA palette indices;
// '.' is transparent): 0 black, 4 navy, 9 red, F white.
#pragma once

namespace komalore_res {

inline constexpr const char* kMainIcon32[] = {
    "................................",
    "................................",
    "................................",
    "............00000000............",
    ".........000FFFFFFFF000.........",
    ".......00FFFFFFFFFFFFFF00.......",
    ".....00FFFFFFFFFFFFFFFFFF00.....",
    "....0FFFFFFFFFFFFFFFFFFFFFF0....",
    "...0FFFFFFFFFFFFFFFFFFFFFFFF0...",
    "...0FFFF4444444444444444FFFF0...",
    "..0FFFFF4444444444444444FFFFF0..",
    "..0FFFFFFFFFFFFFFFFFFFFFFFFFF0..",
    ".0FFFFFFFFFFFFFFFFFFFFFFFFFFFF0.",
    ".0FFFF44444444444444444444FFFF0.",
    ".0FFFF44444444444444444444FFFF0.",
    ".0FFFFFFFFFFFFFFFFFFFFFFFFFFFF0.",
    "..0FFFFFFFFFFFFFFFFFFFFFFFFFF0..",
    "..0FFFFFF999999999999FFFFFFFF0..",
    "...0FFFFF999999999999FFFFFFF0...",
    "...0FFFFFFFFFFFFFFFFFFFFFFFF0...",
    "....0FFFFFFFFFFFFFFFFFFFFFF0....",
    ".....0FFFFFFFFFFFFFFFFFFF00.....",
    "......0FFFFFFFFFFFFFFFF00.......",
    "......0FFF00FFFFFFFF000.........",
    ".....0FFF0..00000000............",
    ".....0FF0.......................",
    "....0F00........................",
    "....00..........................",
    "...00...........................",
    "...0............................",
    "................................",
    "................................",
};

inline constexpr const char* kMainIcon16[] = {
    "................",
    "................",
    "....00000000....",
    "...0FFFFFFFF0...",
    "..0FFFFFFFFFF0..",
    ".0FF44444444FF0.",
    ".0FFFFFFFFFFFF0.",
    ".0FFFFFFFFFFFF0.",
    ".0FF99999999FF0.",
    ".0FFFFFFFFFFFF0.",
    "..0FFFFFFFFFF0..",
    "...0F0FFFF000...",
    "..000.0000......",
    "..0.............",
    ".0..............",
    "................",
};

}  // namespace komalore_res
