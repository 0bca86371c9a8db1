// The random module: a 32-bit linear congruential generator seeded by kp_random_Seed.
#pragma once

extern int kp_random_Seed;

float kp_random_Rnd();
float kp_random_Rnd3(float range);
float kp_random_Rnd2(float low, float high);
