#include "core/randomgenerator.h"

namespace {
std::uint64_t generatorState = 1;
}

void TRandomGenerator::Seed(std::uint32_t seconds) {
    generatorState = seconds;
}

std::int32_t TRandomGenerator::Draw() {
    generatorState = generatorState * Multiplier + 1; // wraps modulo 2^64 by unsigned arithmetic
    return static_cast<std::int32_t>((generatorState >> 32) & 0x7FFFFFFF);
}

std::uint64_t TRandomGenerator::State() {
    return generatorState;
}

void TRandomGenerator::SetState(std::uint64_t state) {
    generatorState = state;
}
