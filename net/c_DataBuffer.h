// Byte buffers: a block of bytes the buffer owns, with clipped byte access, copies that are safe
// when they overlap, and string access in the "utf8" and "ascii" encodings (each 16-bit code
// unit on its own). Out-of-range accesses are cut to the buffer and never raised; an unknown
// encoding name and a second allocation are fatal (kpError). _Load reads through the host.
#pragma once

#include <vector>

#include "runtime/kp_game.h"

// The native buffer: the block (malloc'd, freed with the buffer) and its length in bytes.
class KpDataBuffer : public Object {
  public:
    // Allocates length bytes, not cleared; false when a block is already held or malloc fails.
    bool _New(int length);
    // Fills an empty buffer with the host's LoadData; false when it holds data or nothing was read.
    bool _Load(const String& path);
    // Frees the block; the buffer is empty afterwards.
    void _Discard();

    int Length() const { return length_; }
    unsigned char* Data() { return data_.get(); }
    const unsigned char* Data() const { return data_.get(); }

  private:
    KpBytes data_;
    int length_ = 0;
};

// The framework's buffer class with the byte and string operations the game uses.
class c_DataBuffer : public KpDataBuffer {
  public:
    // Allocates length bytes; a buffer that already holds a block is a fatal error.
    c_DataBuffer* m_new(int length);

    int p_Length() const { return Length(); }
    void p_Discard() { _Discard(); }

    // Low bytes of bytes[offset..] into the buffer at address, count cut to both ends.
    void p_PokeBytes(int address, const std::vector<int>& bytes, int offset, int count);
    // Signed bytes (-128..127) from address into bytes[offset..], count cut to both ends.
    void p_PeekBytes(int address, std::vector<int>& bytes, int offset, int count);
    // A new array of the signed bytes from address, count cut to the buffer.
    std::vector<int> p_PeekBytes2(int address, int count);
    // Copies into destination (which may be this buffer); overlapping ranges are safe.
    void p_CopyBytes(int address, c_DataBuffer* destination, int destAddress, int count);

    // Encodes text and writes it at address, cut to the buffer; returns the encoded length.
    int p_PokeString(int address, const String& text, const String& encoding);
    // Decodes count bytes from address (cut to the buffer).
    String p_PeekString(int address, int count, const String& encoding);
    // Decodes from address to the end of the buffer.
    String p_PeekString2(int address, const String& encoding);
};
