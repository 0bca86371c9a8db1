// Text: strings of 16-bit code units, as the framework and the game see them.
// Encoding to UTF-8 turns each unit into one to three bytes on its own (surrogates are not
// combined); decoding a file's bytes accepts UTF-16 with a byte-order mark, UTF-8, and falls
// back to one unit per byte (ISO 8859-1) when the bytes are not valid UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using String = std::u16string;

// Appends the UTF-8 bytes of each code unit of text to out.
void kpEncodeUtf8(const String& text, std::string& out);
std::string kpToUtf8(const String& text);

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
