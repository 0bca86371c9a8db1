// Byte buffers: allocation, loading through the host, clipped byte access and the two string
// encodings. UTF-8 here is the framework's own (runtime/kp_string.h): every 16-bit unit is
// written in one to three bytes, a four-byte character is read as a surrogate pair, and a
// decode that meets any broken sequence falls back to one unit per signed byte ("ascii").
#include "net/c_DataBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/kp_error.h"

namespace {

enum class Encoding { Utf8, Ascii };

// Encoding names are compared exactly: "utf8" and "ascii" only, lower case.
Encoding encodingNamed(const String& name) {
    if (name == u"utf8") return Encoding::Utf8;
    if (name == u"ascii") return Encoding::Ascii;
    kpError(kpS("Invalid string encoding:") + name);
}

// How many of count units from a start position fit in a range of size bytes; negative
// starts never fit (they would reach before the block).
int clipCount(int start, int size, int count) {
    if (start < 0 || start > size) return 0;
    return std::min(count, size - start);
}

int signedByte(unsigned char b) {
    return static_cast<signed char>(b);
}

// One unit per byte, the signed value kept to 16 bits (0x80..0xFF become U+FF80..U+FFFF).
String decodeAscii(const unsigned char* p, int n) {
    String out;
    out.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) out.push_back(static_cast<char16_t>(signedByte(p[i]) & 0xFFFF));
    return out;
}

std::string encode(const String& text, Encoding encoding) {
    std::string bytes;
    if (encoding == Encoding::Utf8) {
        kpEncodeUtf8(text, bytes);
    } else {
        bytes.reserve(text.size());
        for (char16_t unit : text) bytes.push_back(static_cast<char>(unit & 0xFF));
    }
    return bytes;
}

} // namespace

bool KpDataBuffer::_New(int length) {
    if (data_) return false;
    length = std::max(length, 0);
    // malloc(0) may give null; one spare byte keeps an empty buffer distinct from no buffer.
    data_.reset(static_cast<unsigned char*>(std::malloc(static_cast<size_t>(length) + 1)));
    if (!data_) return false;
    length_ = length;
    return true;
}

bool KpDataBuffer::_Load(const String& path) {
    if (data_ || !KpGame::_game) return false;
    int length = 0;
    KpBytes bytes = KpGame::_game->LoadData(path, &length);
    if (!bytes) return false;
    data_ = std::move(bytes);
    length_ = length;
    return true;
}

void KpDataBuffer::_Discard() {
    data_.reset();
    length_ = 0;
}

c_DataBuffer* c_DataBuffer::m_new(int length) {
    if (!_New(length)) kpError(std::string_view("Allocate DataBuffer failed"));
    return this;
}

void c_DataBuffer::p_PokeBytes(int address, const std::vector<int>& bytes, int offset, int count) {
    count = clipCount(address, Length(), count);
    count = clipCount(offset, static_cast<int>(bytes.size()), count);
    for (int i = 0; i < count; ++i)
        Data()[address + i] = static_cast<unsigned char>(bytes[offset + i]);
}

void c_DataBuffer::p_PeekBytes(int address, std::vector<int>& bytes, int offset, int count) {
    count = clipCount(address, Length(), count);
    count = clipCount(offset, static_cast<int>(bytes.size()), count);
    for (int i = 0; i < count; ++i) bytes[offset + i] = signedByte(Data()[address + i]);
}

std::vector<int> c_DataBuffer::p_PeekBytes2(int address, int count) {
    count = clipCount(address, Length(), count);
    std::vector<int> bytes(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) bytes[i] = signedByte(Data()[address + i]);
    return bytes;
}

void c_DataBuffer::p_CopyBytes(int address, c_DataBuffer* destination, int destAddress, int count) {
    if (!destination) return;
    count = clipCount(address, Length(), count);
    count = clipCount(destAddress, destination->Length(), count);
    if (count < 1) return;
    // memmove copies as if through a temporary, the same result as copying backwards when
    // the destination lies after the source within one buffer.
    std::memmove(destination->Data() + destAddress, Data() + address, static_cast<size_t>(count));
}

int c_DataBuffer::p_PokeString(int address, const String& text, const String& encoding) {
    std::string bytes = encode(text, encodingNamed(encoding));
    int produced = static_cast<int>(bytes.size());
    int count = clipCount(address, Length(), produced);
    if (count > 0) std::memcpy(Data() + address, bytes.data(), static_cast<size_t>(count));
    return produced;
}

String c_DataBuffer::p_PeekString(int address, int count, const String& encoding) {
    Encoding kind = encodingNamed(encoding);
    count = std::max(clipCount(address, Length(), count), 0);
    const unsigned char* bytes = count > 0 ? Data() + address : nullptr;
    if (kind == Encoding::Utf8) {
        String text;
        if (kpDecodeUtf8(bytes, static_cast<size_t>(count), text)) return text;
    }
    return decodeAscii(bytes, count);
}

String c_DataBuffer::p_PeekString2(int address, const String& encoding) {
    // In 64 bits: Length() - address overflows int for an address near INT_MIN. Any address
    // outside the buffer reads nothing, so the count only needs to be right inside it.
    const long long rest = static_cast<long long>(Length()) - address;
    const int count = static_cast<int>(std::clamp(rest, 0LL, static_cast<long long>(Length())));
    return p_PeekString(address, count, encoding);
}
