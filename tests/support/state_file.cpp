// The end-to-end tests' own reading and writing of the save string.
#include "support/state_file.h"

std::uint32_t StateFile::levelSum(const StateFile& s, int k) {
    std::uint32_t sum = 0;
    for (std::uint32_t r = 0; r < 10; ++r) {
        const size_t at = static_cast<size_t>(k) * 10 + r;
        sum += (r + 4) * static_cast<std::uint32_t>(s.best[at]) +
               (k + 3 + r) * static_cast<std::uint32_t>(s.last[at]) +
               (k + 7 + r) * static_cast<std::uint32_t>(s.stat[at]);
    }
    return sum;
}

std::string StateFile::text() const {
    std::string out;
    auto put = [&out](std::int64_t v) { out += std::to_string(static_cast<int>(v)) + "|"; };
    std::uint32_t sum = 0;
    for (std::uint32_t i = 0; i < 25; ++i) {
        put(settings[i]);
        sum += static_cast<std::uint32_t>(settings[i]) * i;
    }
    put(static_cast<int>(sum));
    sum = 0;
    for (std::uint32_t word : badgeWords) {
        put(static_cast<int>(word));
        sum += word;
    }
    put(static_cast<int>(sum));
    for (int k = 0; k < 500; ++k) {
        for (int r = 0; r < 10; ++r) {
            put(best[k * 10 + r]);
            put(last[k * 10 + r]);
            put(stat[k * 10 + r]);
        }
        put(static_cast<int>(levelSum(*this, k)));
    }
    return out;
}

bool StateFile::parse(const std::string& text, StateFile& s, std::string& why) {
    std::vector<std::string> f;
    size_t start = 0;
    for (size_t bar; (bar = text.find('|', start)) != std::string::npos; start = bar + 1) {
        f.push_back(text.substr(start, bar - start));
    }
    if (start != text.size() || f.size() != 26 + 9 + 500 * 31) {
        why = "fields: " + std::to_string(f.size());
        return false;
    }
    auto num = [&f](size_t i) { return std::stoi(f[i]); };
    std::uint32_t sum = 0;
    for (std::uint32_t i = 0; i < 25; ++i) {
        s.settings[i] = num(i);
        sum += static_cast<std::uint32_t>(s.settings[i]) * i;
    }
    if (static_cast<int>(sum) != num(25)) why += "settings checksum; ";
    sum = 0;
    for (size_t g = 0; g < 8; ++g) {
        s.badgeWords[g] = static_cast<std::uint32_t>(num(26 + g));
        sum += s.badgeWords[g];
    }
    if (static_cast<int>(sum) != num(34)) why += "badge checksum; ";
    for (int k = 0; k < 500; ++k) {
        const size_t base = 35 + static_cast<size_t>(k) * 31;
        for (int r = 0; r < 10; ++r) {
            s.best[k * 10 + r] = num(base + r * 3);
            s.last[k * 10 + r] = num(base + r * 3 + 1);
            s.stat[k * 10 + r] = num(base + r * 3 + 2);
        }
        if (static_cast<int>(levelSum(s, k)) != num(base + 30)) {
            why += "level " + std::to_string(k) + " checksum; ";
        }
    }
    return why.empty();
}
