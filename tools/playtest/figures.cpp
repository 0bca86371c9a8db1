// Reading and writing the figures file of the kept plans: comment lines, then one line a
// level of exactly nine words, the first the level number; nothing else is accepted.
#include "tools/playtest/figures.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "tools/playtest/commands.h"

namespace {

constexpr int kFigureWords = 9;

constexpr const char* kHeader =
    "# What each kept plan plays to, one level a line:\n"
    "#   LEVEL KIND TARGET PARAM RESULT FRAMES SCORE BESTSUPER SPIKES\n"
    "# The tests replay every plan and compare each figure: a changed figure is a changed\n"
    "# rule of play. Rewrite this file only for a change to the rules or the plans that is\n"
    "# meant, with\n"
    "#   build/tools/playtest/playtest replay --record tests/game/plans/figures.txt \\\n"
    "#       tests/game/plans/*.plan\n"
    "# and let the commit show which figures moved and why.\n";

std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

} // namespace

bool readFigures(const std::string& path, FigureBook* book, std::string* reason) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *reason = "cannot read " + path;
        return false;
    }
    book->clear();
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> words = wordsOf(line);
        int level = 0;
        if (words.size() != kFigureWords || !parseInt(words[0], &level)) {
            *reason = "line " + std::to_string(number) + " is not nine figures of a level";
            return false;
        }
        if (!book->emplace(level, line).second) {
            *reason = "level " + std::to_string(level) + " is given twice";
            return false;
        }
    }
    return true;
}

bool writeFigures(const std::string& path, const FigureBook& book) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << kHeader;
    for (const auto& [level, line] : book) out << line << '\n';
    out.close();
    return static_cast<bool>(out);
}
