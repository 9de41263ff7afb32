// random: the game's one seeded generator and its number conversions.
// Minimal-standard multiplicative congruential generator (48271 mod 2^31-1);
// every RandomReal advances it by exactly two steps, so call order decides the game.
#pragma once
#include <string>

extern int random_state;                 // always 1..2147483646 once seeded; 4660 if never seeded

void SeedRandom(int seed);               // seed with the sign bit cleared; 0 and 2^31-1 become 4660
double RandomReal(double a, double b);   // uniform between the bounds, smaller included, larger excluded
int TruncToInt(double x);                // truncate toward zero
std::string IntToText(int value);        // plain decimal, "-" for negatives
