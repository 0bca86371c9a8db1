// Encoding and decoding of 16-bit code-unit strings; the rules every text file and standard
// output line of the program follow.
#include "runtime/kp_string.h"

#include <cstdio>

namespace {

constexpr unsigned kFirstSupplementary = 0x10000;
constexpr unsigned kLastCodePoint = 0x10FFFF;
constexpr unsigned kHighSurrogate = 0xD800;
constexpr unsigned kLowSurrogate = 0xDC00;

String decodeUtf16(const unsigned char* p, size_t n, bool bigEndian) {
    String out;
    out.reserve(n / 2);
    for (size_t i = 0; i + 1 < n; i += 2) {
        unsigned hi = bigEndian ? p[i] : p[i + 1];
        unsigned lo = bigEndian ? p[i + 1] : p[i];
        out.push_back(static_cast<char16_t>((hi << 8) | lo));
    }
    return out;
}

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

} // namespace

bool kpDecodeUtf8(const unsigned char* p, size_t n, String& out) {
    out.clear();
    out.reserve(n);
    size_t i = 0;
    while (i < n) {
        const unsigned lead = p[i];
        if (lead < 0x80) {
            out.push_back(static_cast<char16_t>(lead));
            i += 1;
        } else if ((lead & 0xE0) == 0xC0) {
            if (i + 1 >= n || !isContinuation(p[i + 1])) return false;
            out.push_back(static_cast<char16_t>(((lead & 0x1F) << 6) | (p[i + 1] & 0x3F)));
            i += 2;
        } else if ((lead & 0xF0) == 0xE0) {
            if (i + 2 >= n || !isContinuation(p[i + 1]) || !isContinuation(p[i + 2])) return false;
            unsigned unit = ((lead & 0x0F) << 12) | ((p[i + 1] & 0x3Fu) << 6) | (p[i + 2] & 0x3Fu);
            out.push_back(static_cast<char16_t>(unit));
            i += 3;
        } else if ((lead & 0xF8) == 0xF0) {
            if (i + 3 >= n || !isContinuation(p[i + 1]) || !isContinuation(p[i + 2]) ||
                !isContinuation(p[i + 3])) {
                return false;
            }
            const unsigned code = ((lead & 0x07) << 18) | ((p[i + 1] & 0x3Fu) << 12) |
                                  ((p[i + 2] & 0x3Fu) << 6) | (p[i + 3] & 0x3Fu);
            if (code > kLastCodePoint) return false;
            if (code < kFirstSupplementary) {
                out.push_back(static_cast<char16_t>(code)); // overlong, accepted as the others
            } else {
                // A character beyond 16 bits is a surrogate pair, as UTF-16 writes it.
                const unsigned offset = code - kFirstSupplementary;
                out.push_back(static_cast<char16_t>(kHighSurrogate | (offset >> 10)));
                out.push_back(static_cast<char16_t>(kLowSurrogate | (offset & 0x3FF)));
            }
            i += 4;
        } else {
            return false; // a stray continuation byte or a lead byte of five or more
        }
    }
    return true;
}

void kpEncodeUtf8(const String& text, std::string& out) {
    out.reserve(out.size() + text.size() * 3);
    for (char16_t c : text) {
        unsigned u = c;
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
}

std::string kpToUtf8(const String& text) {
    std::string out;
    kpEncodeUtf8(text, out);
    return out;
}

String kpDecodeText(const unsigned char* bytes, size_t count) {
    if (count >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        return decodeUtf16(bytes + 2, count - 2, true);
    if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return decodeUtf16(bytes + 2, count - 2, false);
    if (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bytes += 3;
        count -= 3;
    }
    String out;
    if (kpDecodeUtf8(bytes, count, out)) return out;
    return String(bytes, bytes + count); // Latin-1: one unit per byte
}

String kpS(std::string_view utf8) {
    return kpDecodeText(reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size());
}

std::string kpNarrow(const String& text) {
    std::string out(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(text[i] & 0xFF);
    return out;
}

String kpIntToString(int value) {
    std::string digits = std::to_string(value);
    return String(digits.begin(), digits.end());
}

String kpFloatToString(float value) {
    char digits[48];
    std::snprintf(digits, sizeof digits, "%.7g", static_cast<double>(value));
    std::string text(digits);
    bool plain = text.find_first_of(".eni") == std::string::npos; // no point, exponent, inf, nan
    if (plain) text += ".0";
    return String(text.begin(), text.end());
}
