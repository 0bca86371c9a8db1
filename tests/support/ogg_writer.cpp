// A small OGG Vorbis encoder over libvorbisenc for the tests that decode or play music.
#include "support/ogg_writer.h"

#include <algorithm>
#include <cmath>
#include <vorbis/vorbisenc.h>

namespace {
constexpr int kWriteBlock = 4096; // frames handed to the encoder at a time
} // namespace

std::string encodeOgg(int channels, int rate, int frames, const OggHeaderEdit& edit,
                      float amplitude, float quality) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, quality) != 0) return std::string();
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 7);
    std::string out;
    auto flushPages = [&](bool force) {
        ogg_page og;
        while (force ? ogg_stream_flush(&os, &og) : ogg_stream_pageout(&os, &og)) {
            out.append(reinterpret_cast<char*>(og.header), og.header_len);
            out.append(reinterpret_cast<char*>(og.body), og.body_len);
        }
    };
    ogg_packet header, comment, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
    ogg_packet* headers[3] = {&header, &comment, &code};
    std::string edited[3];
    for (int i = 0; i < 3; ++i) {
        ogg_packet copy = *headers[i];
        if (edit) {
            edited[i].assign(reinterpret_cast<char*>(copy.packet), copy.bytes);
            edit(i, edited[i]);
            copy.packet = reinterpret_cast<unsigned char*>(edited[i].data());
            copy.bytes = static_cast<long>(edited[i].size());
        }
        ogg_stream_packetin(&os, &copy);
    }
    flushPages(true);
    ogg_packet packet;
    auto encodeBlocks = [&] {
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                flushPages(false);
            }
        }
    };
    // Handed over in blocks: the encoder cannot take minutes of sound in one buffer.
    for (int done = 0; done < frames; done += kWriteBlock) {
        const int n = std::min(kWriteBlock, frames - done);
        float** buffer = vorbis_analysis_buffer(&vd, n);
        for (int i = 0; i < n; ++i) {
            const float t = static_cast<float>(done + i) / rate;
            for (int c = 0; c < channels; ++c) {
                buffer[c][i] = amplitude * std::sin(2.0f * 3.14159265f * 440.0f * t);
            }
        }
        vorbis_analysis_wrote(&vd, n);
        encodeBlocks();
    }
    vorbis_analysis_wrote(&vd, 0);
    encodeBlocks();
    flushPages(true);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}
