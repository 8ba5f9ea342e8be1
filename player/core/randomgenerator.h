#pragma once
// The player's one pseudo-random generator, shared by shuffle and random play order. A linear
// congruential generator on 64 bits; its multiplier and seeding are fixed so that a run can be
// reproduced from its seed.

#include <cstdint>

class TRandomGenerator {
public:
    // Until seeded the state is 1.
    static void Seed(std::uint32_t seconds);
    // A value from 0 to 0x7FFFFFFF.
    static std::int32_t Draw();

    static std::uint64_t State();
    static void SetState(std::uint64_t state);

    static constexpr std::uint64_t Multiplier = (std::uint64_t{0x15A4} << 32) | 0x4E35;
};
