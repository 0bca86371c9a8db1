// c_DataBuffer's accessors with random addresses, offsets and counts over the whole int
// range: every read and write stays inside the buffers (the address sanitizer sees to that),
// and what a clipped write put in reads back.
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <vector>

#include "fuzz_support.h"
#include "net/c_DataBuffer.h"

namespace {

constexpr int kMaxLength = 64;
constexpr int kMaxSteps = 64;

// Mostly small numbers near the buffer, sometimes anything at all.
int anyAddress(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange(-4, kMaxLength + 4)
                            : in.ConsumeIntegral<int>();
}

String anyText(FuzzedDataProvider& in) {
    String text;
    const size_t n = in.ConsumeIntegralInRange<size_t>(0, 24);
    for (size_t i = 0; i < n; ++i) text.push_back(in.ConsumeIntegral<char16_t>());
    return text;
}

const char16_t* anyEncoding(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? u"utf8" : u"ascii";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    c_DataBuffer a, b;
    a.m_new(in.ConsumeIntegralInRange(0, kMaxLength));
    b.m_new(in.ConsumeIntegralInRange(0, kMaxLength));
    for (int step = 0; step < kMaxSteps && in.remaining_bytes() > 0; ++step) {
        c_DataBuffer& buffer = in.ConsumeBool() ? a : b;
        switch (in.ConsumeIntegralInRange(0, 6)) {
        case 0: {
            std::vector<int> bytes(in.ConsumeIntegralInRange(0, kMaxLength), 0);
            for (int& v : bytes) v = in.ConsumeIntegral<int>();
            const int address = anyAddress(in), offset = anyAddress(in), count = anyAddress(in);
            buffer.p_PokeBytes(address, bytes, offset, count);
            if (address >= 0 && address < buffer.Length() && offset >= 0 &&
                offset < static_cast<int>(bytes.size()) && count > 0) {
                expect((buffer.p_PeekBytes2(address, 1)[0] & 0xFF) == (bytes[offset] & 0xFF));
            }
            break;
        }
        case 1: {
            std::vector<int> bytes(in.ConsumeIntegralInRange(0, kMaxLength), 0);
            buffer.p_PeekBytes(anyAddress(in), bytes, anyAddress(in), anyAddress(in));
            break;
        }
        case 2: {
            const int address = anyAddress(in), count = anyAddress(in);
            const std::vector<int> bytes = buffer.p_PeekBytes2(address, count);
            expect(static_cast<int>(bytes.size()) <= buffer.Length());
            break;
        }
        case 3:
            buffer.p_CopyBytes(anyAddress(in), in.ConsumeBool() ? &a : &b, anyAddress(in),
                               anyAddress(in));
            break;
        case 4:
            buffer.p_PokeString(anyAddress(in), anyText(in), anyEncoding(in));
            break;
        case 5: {
            const String text =
                buffer.p_PeekString(anyAddress(in), anyAddress(in), anyEncoding(in));
            expect(static_cast<int>(text.size()) <= buffer.Length());
            break;
        }
        default: {
            const int address =
                in.ConsumeBool() ? INT_MIN + in.ConsumeIntegralInRange(0, 8) : anyAddress(in);
            const String text = buffer.p_PeekString2(address, anyEncoding(in));
            expect(static_cast<int>(text.size()) <= buffer.Length());
            break;
        }
        }
    }
    return 0;
}
