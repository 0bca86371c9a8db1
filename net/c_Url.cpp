// URL parsing. Every search runs over the 16-bit text; a "?" that comes after the first "#"
// belongs to the fragment. The authority and path end where the query or fragment begins.
#include "net/c_Url.h"

#include <algorithm>
#include <limits>

namespace {

constexpr size_t kAtoiWindow = 63; // characters atoi looks at

// A search result as an index, -1 when absent.
long find(const String& text, std::u16string_view what, long from = 0) {
    size_t at = text.find(what.data(), static_cast<size_t>(from), what.size());
    return at == String::npos ? -1 : static_cast<long>(at);
}

// A search result at or beyond the end of the authority counts as absent.
long findBefore(const String& text, char16_t what, long from, long end) {
    long at = find(text, std::u16string_view(&what, 1), from);
    return (at == -1 || at >= end) ? -1 : at;
}

String slice(const String& text, long from, long to) {
    return text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

bool isBlank(char16_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

int kpAtoi(const String& text) {
    size_t end = std::min(text.size(), kAtoiWindow);
    size_t i = 0;
    while (i < end && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr long long kMax = std::numeric_limits<long long>::max();
    long long value = 0;
    bool overflow = false;
    for (; i < end && text[i] >= '0' && text[i] <= '9'; ++i) {
        int digit = text[i] - '0';
        if (value > (kMax - digit) / 10) overflow = true;
        if (!overflow) value = value * 10 + digit;
    }
    // Out of range saturates as strtol does; the narrowing to int then keeps the low 32 bits.
    long long result = overflow ? (negative ? std::numeric_limits<long long>::min() : kMax)
                                : (negative ? -value : value);
    return static_cast<int>(result);
}

c_Url::c_Url(const String& text, const String& scheme, int port) {
    m_new(text, scheme, port);
}

c_Url* c_Url::m_new(const String& text, const String& scheme, int port) {
    defaultScheme = scheme;
    defaultPort = port;
    p_Set2(text);
    return this;
}

void c_Url::p_Set2(const String& text) {
    url = text;
    scheme = defaultScheme;
    username.clear();
    password.clear();
    domain.clear();
    port = defaultPort;
    path.assign(1, u'/');
    query.clear();
    fragment.clear();

    const long length = static_cast<long>(text.size());
    long q = find(text, u"?");
    long h = find(text, u"#");
    if (q != -1 && h != -1 && q > h) q = -1; // the "?" is part of the fragment
    const long e = q != -1 ? q : (h != -1 ? h : length);

    long p = 0;
    long i = find(text, u"://");
    if (i != -1 && i < e) {
        scheme = slice(text, 0, i);
        p = i + 3;
    }

    long a = findBefore(text, '@', p, e);
    if (a != -1) {
        long c = find(text, u":", p);
        if (c != -1 && c < a) {
            username = slice(text, p, c);
            password = slice(text, c + 1, a);
        } else {
            username = slice(text, p, a);
        }
        p = a + 1;
    }

    long c = findBefore(text, ':', p, e);
    long s = findBefore(text, '/', p, e);
    if (c != -1 && (s == -1 || c < s)) {
        domain = slice(text, p, c);
        port = kpAtoi(slice(text, c + 1, s != -1 ? s : e));
        if (s != -1) path = slice(text, s, e);
    } else if (s != -1) {
        domain = slice(text, p, s);
        path = slice(text, s, e);
    } else {
        domain = slice(text, p, e);
    }

    if (q != -1) query = h != -1 ? slice(text, q + 1, h) : slice(text, q + 1, length);
    if (h != -1) fragment = slice(text, h + 1, length);
}

String c_Url::p_FullPath() const {
    String full = path;
    if (!query.empty()) full.append(u"?").append(query);
    if (!fragment.empty()) full.append(u"#").append(fragment);
    return full;
}
