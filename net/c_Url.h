// URLs: splits a text into scheme, user name, password, domain, port, path, query and
// fragment by searching for the delimiters in a fixed order; missing parts keep the defaults
// given at construction. There is no percent-decoding and no validation of the parts.
#pragma once

#include "runtime/kp_object.h"

class c_Url : public Object {
  public:
    c_Url() = default;
    c_Url(const String& url, const String& defaultScheme, int defaultPort);
    c_Url* m_new(const String& url, const String& defaultScheme, int defaultPort);

    // Parses url into the fields.
    void p_Set2(const String& url);

    String p_Domain() const { return domain; }
    int p_Port() const { return port; }
    // The path, then "?" + query and "#" + fragment when they are not empty.
    String p_FullPath() const;

    String defaultScheme;
    int defaultPort = 0;
    String url;
    String scheme;
    String username;
    String password;
    String domain;
    int port = 0;
    String path = u"/";
    String query;
    String fragment;
};

// The C library's atoi over the first 63 units of text: leading blanks and one sign, then
// digits up to the first other character; no digits give 0.
int kpAtoi(const String& text);
