// The data module's path rule: names given by the game become "zembra://data/" paths.
#pragma once

#include "runtime/kp_string.h"

String kp_data_FixDataPath(const String& path);
