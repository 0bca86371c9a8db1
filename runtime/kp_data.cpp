// kp_data_FixDataPath: leaves scheme, drive-letter, "./" and "/" paths alone and puts every
// other name under the data folder.
#include "runtime/kp_data.h"

String kp_data_FixDataPath(const String& path) {
    size_t colon = path.find(u":/");
    if (colon != String::npos && path.find(u'/') == colon + 1) return path;
    if (path.compare(0, 2, u"./") == 0 || path.compare(0, 1, u"/") == 0) return path;
    return u"zembra://data/" + path;
}
