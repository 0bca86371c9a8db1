// The game's save string, built and checked by the end-to-end tests on their own, apart from
// the game's code: 25 settings and their checksum, 8 badge words and theirs, and per level
// 10 x (best, last, statistic) and its own.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct StateFile {
    std::array<int, 25> settings{};
    std::array<std::uint32_t, 8> badgeWords{};
    std::vector<int> best = std::vector<int>(5000, 0);
    std::vector<int> last = std::vector<int>(5000, 0);
    std::vector<int> stat = std::vector<int>(5000, 0);

    // Level k's checksum.
    static std::uint32_t levelSum(const StateFile& s, int k);
    // The whole save string.
    std::string text() const;
    // Reads a whole save string; false, with the reason, unless every checksum is valid.
    static bool parse(const std::string& text, StateFile& s, std::string& why);
};
