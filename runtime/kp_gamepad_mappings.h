// Gamepad mappings a player or a packager adds: a "gamecontrollerdb.txt" in the community
// format the window library reads, beside the data folder (the folder that holds it, through
// a link) and in the working folder, the player's own. Read once at start-up; a line for a
// pad the library already knows replaces its built-in one, and the player's file comes last.
#pragma once

#include <string>
#include <vector>

// The mapping files that exist, in the order they are applied (each file once).
std::vector<std::string> kpGamepadMappingFiles();

// Hands every mapping file to the window library (which must be initialised), line by line: a
// file that cannot be read, and each line the library rejects, are named on standard error
// (the line with its number); "Gamepad mappings read from" is printed for a file whose every
// mapping line was taken.
void kpLoadGamepadMappings();

// Prints a line for each pad present now and, from then on, for each pad that connects: its
// number, name, GUID and whether a mapping knows it.
void kpReportGamepads();
