// Reading a number out of a box the way the C library's atoi reads it on the original
// platform: leading white space, an optional sign, then decimal digits up to the first other
// character; no digits gives 0, and a value past the int range wraps around modulo 2^32.
#pragma once

int AtoiWrapping(const char* text);
