// The recorded figures of the kept plans: for each level, the line its replay prints without
// the seconds ("LEVEL KIND TARGET PARAM won FRAMES SCORE BESTSUPER SPIKES"). The file opens
// with comment lines ('#') saying how it is made; only `replay --record FILE` writes it, and
// `replay --expect FILE` holds every replayed plan to it, so a changed score, chain or frame
// count shows up as a changed rule rather than passing as long as the plan still wins.
#pragma once

#include <map>
#include <string>

// Level number to its figures line.
using FigureBook = std::map<int, std::string>;

// Reads a figures file; false with a reason for a malformed line or a level given twice.
bool readFigures(const std::string& path, FigureBook* book, std::string* reason);
// Writes the comment header and one line a level, in level order.
bool writeFigures(const std::string& path, const FigureBook& book);
