// URL parsing: every component, the defaults, and the delimiter rules (a "?" inside the
// fragment, an "@" or ":" beyond the authority, empty and odd ports).
#include <gtest/gtest.h>

#include "net/c_HttpRequest.h"
#include "net/c_Url.h"

namespace {

struct Parts {
    const char16_t* text;
    const char16_t* scheme;
    const char16_t* username;
    const char16_t* password;
    const char16_t* domain;
    int port;
    const char16_t* path;
    const char16_t* query;
    const char16_t* fragment;
    const char16_t* fullPath;
};

// Default scheme "http", default port 80.
const Parts kCases[] = {
    {u"http://user:pw@host:8080/a/b?x=1#frag", u"http", u"user", u"pw", u"host", 8080, u"/a/b",
     u"x=1", u"frag", u"/a/b?x=1#frag"},
    {u"host/x", u"http", u"", u"", u"host", 80, u"/x", u"", u"", u"/x"},
    {u"http://host", u"http", u"", u"", u"host", 80, u"/", u"", u"", u"/"},
    {u"http://host:/x", u"http", u"", u"", u"host", 0, u"/x", u"", u"", u"/x"},
    {u"http://host/p#a?b", u"http", u"", u"", u"host", 80, u"/p", u"", u"a?b", u"/p#a?b"},
    {u"ftp://me@files.example:21", u"ftp", u"me", u"", u"files.example", 21, u"/", u"", u"", u"/"},
    {u"http://host?q=1", u"http", u"", u"", u"host", 80, u"/", u"q=1", u"", u"/?q=1"},
    {u"http://host#top", u"http", u"", u"", u"host", 80, u"/", u"", u"top", u"/#top"},
    {u"http://host:81?a#b", u"http", u"", u"", u"host", 81, u"/", u"a", u"b", u"/?a#b"},
    // Delimiters in the query or fragment do not count for the authority.
    {u"http://host/p?u=a@b:c", u"http", u"", u"", u"host", 80, u"/p", u"u=a@b:c", u"",
     u"/p?u=a@b:c"},
    {u"host?next=http://x", u"http", u"", u"", u"host", 80, u"/", u"next=http://x", u"",
     u"/?next=http://x"},
    // A colon after the first slash is part of the path.
    {u"http://host/a:b", u"http", u"", u"", u"host", 80, u"/a:b", u"", u"", u"/a:b"},
    // Ports follow atoi: blanks and a sign, then digits up to the first other character.
    {u"http://host: +12ab/", u"http", u"", u"", u"host", 12, u"/", u"", u"", u"/"},
    {u"http://host:-5", u"http", u"", u"", u"host", -5, u"/", u"", u"", u"/"},
    {u"http://host:http/", u"http", u"", u"", u"host", 0, u"/", u"", u"", u"/"},
    {u"", u"http", u"", u"", u"", 80, u"/", u"", u"", u"/"},
    {u"http://127.0.0.1:8000/", u"http", u"", u"", u"127.0.0.1", 8000, u"/", u"", u"", u"/"},
};

} // namespace

TEST(UrlParsing, SplitsEveryListedForm) {
    for (const Parts& c : kCases) {
        SCOPED_TRACE(kpToUtf8(c.text));
        c_Url url(c.text, u"http", 80);
        EXPECT_EQ(url.url, c.text);
        EXPECT_EQ(url.scheme, c.scheme);
        EXPECT_EQ(url.username, c.username);
        EXPECT_EQ(url.password, c.password);
        EXPECT_EQ(url.p_Domain(), c.domain);
        EXPECT_EQ(url.p_Port(), c.port);
        EXPECT_EQ(url.path, c.path);
        EXPECT_EQ(url.query, c.query);
        EXPECT_EQ(url.fragment, c.fragment);
        EXPECT_EQ(url.p_FullPath(), c.fullPath);
    }
}

TEST(UrlParsing, ParsingAgainStartsFromTheDefaults) {
    c_Url url(u"https://a:b@c:9/d?e#f", u"gopher", 70);
    url.p_Set2(u"plain");
    EXPECT_EQ(url.scheme, u"gopher");
    EXPECT_EQ(url.username, u"");
    EXPECT_EQ(url.password, u"");
    EXPECT_EQ(url.p_Domain(), u"plain");
    EXPECT_EQ(url.p_Port(), 70);
    EXPECT_EQ(url.p_FullPath(), u"/");
}

TEST(UrlParsing, AtoiStopsAtSixtyThreeCharactersAndSaturates) {
    EXPECT_EQ(kpAtoi(u"  42"), 42);
    EXPECT_EQ(kpAtoi(u"\t-7x"), -7);
    EXPECT_EQ(kpAtoi(u"- 7"), 0);
    EXPECT_EQ(kpAtoi(String(62, u' ') + u"9"), 9);
    EXPECT_EQ(kpAtoi(String(63, u' ') + u"9"), 0);
    EXPECT_EQ(kpAtoi(u"99999999999999999999999"), -1); // LONG_MAX narrowed to int
}

TEST(HttpRequestOpen, HeaderCarriesTheFullPathAndTheDomainOnly) {
    c_HttpRequest request;
    request.p_Open(u"GET", u"http://user@host:8080/housecall.php?hello=1#x", nullptr);
    ASSERT_EQ(request.header.size(), 2u);
    EXPECT_EQ(request.header[0], u"GET /housecall.php?hello=1#x HTTP/1.0");
    EXPECT_EQ(request.header[1], u"Host: host");
    EXPECT_EQ(request.p_Status(), -1);
    request.p_Open(u"HEAD", u"http://host", nullptr);
    EXPECT_EQ(request.header[0], u"HEAD / HTTP/1.0");
    EXPECT_EQ(request.url.p_Port(), 80);
}
