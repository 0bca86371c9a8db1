// Text: strings of 16-bit code units, as the framework and the game see them.
// Encoding to UTF-8 turns each unit into one to three bytes on its own (surrogates are not
// combined); decoding UTF-8 takes one- to four-byte sequences, a four-byte character becoming
// a surrogate pair. A file's bytes may also be UTF-16 with a byte-order mark, and fall back to
// one unit per byte (ISO 8859-1) when they are not valid UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using String = std::u16string;

// Appends the UTF-8 bytes of each code unit of text to out.
void kpEncodeUtf8(const String& text, std::string& out);
std::string kpToUtf8(const String& text);

// The one UTF-8 decoder: n bytes at p into out. False when any byte breaks the rules (a stray
// continuation byte, a lead byte 0xF8 or above, a character past U+10FFFF, a missing or wrong
// continuation byte, a sequence cut off by the end); out then holds a part only. Overlong
// forms are accepted.
bool kpDecodeUtf8(const unsigned char* p, size_t n, String& out);

// Decodes a text file's bytes by the byte-order mark, UTF-8 and Latin-1 fallback rules.
String kpDecodeText(const unsigned char* bytes, size_t count);

// A string from UTF-8 source text (for literals and C strings); invalid bytes become Latin-1.
String kpS(std::string_view utf8);

// The low byte of each code unit: how fatal messages are narrowed.
std::string kpNarrow(const String& text);

// Decimal text of an int, as the game prints numbers.
String kpIntToString(int value);

// Decimal text of a float: up to seven significant digits, always with a decimal point
// ("1.0", "0.5", "-2.25").
String kpFloatToString(float value);
