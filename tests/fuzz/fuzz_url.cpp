// URL splitting on arbitrary 16-bit text: every part it finds is a piece of the text, and
// parsing the same text twice into one object gives the same parts.
#include <cstring>

#include "fuzz_support.h"
#include "net/c_Url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    String text(size / 2, u'\0');
    std::memcpy(text.data(), data, text.size() * 2);
    c_Url url(text, u"http", 80);
    for (const String* part :
         {&url.scheme, &url.username, &url.password, &url.domain, &url.query, &url.fragment}) {
        expect(part == &url.scheme || part->empty() || text.find(*part) != String::npos);
    }
    expect(url.path == u"/" || text.find(url.path) != String::npos);
    const String full = url.p_FullPath();
    const int port = url.p_Port();
    url.p_Set2(text);
    expect(url.p_FullPath() == full && url.p_Port() == port);
    expect(kpAtoi(text) == kpAtoi(text.substr(0, 63)));
    return 0;
}
