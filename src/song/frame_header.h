#pragma once

#include <QByteArrayView>

#include <array>
#include <cstdint>

namespace tavorin {

// One decoded 4-byte MPEG audio frame header. A decode overwrites the record in place; the
// reserved layer and sampling-rate codes leave the previous value standing.
struct FrameHeader {
    std::int32_t version = 0;    // 1 = MPEG-1, 2 = MPEG-2, 3 = MPEG-2.5
    std::int32_t layer = 0;      // 1, 2 or 3
    std::int32_t protection = 0; // 1 = no CRC follows the header
    std::int32_t privateBit = 0;
    std::int32_t channelMode = 0; // 3 = single channel
    std::int32_t padding = 0;
    std::int32_t frameLength = 0; // whole frame in bytes, header included
    std::int32_t dataOffset = 0;  // first byte after header, CRC and side information
    std::int32_t bitrate = 0;     // kbit/s
    std::int32_t sampleRate = 0;  // Hz
};

// Bit rates in kbit/s by bitrate index 0..14 (index 0 is the free format, 15 is forbidden).
using BitrateTable = std::array<std::int32_t, 15>;
// ISO/IEC 11172-3, MPEG-1.
inline constexpr BitrateTable mpeg1Layer1Bitrates{0,   32,  64,  96,  128, 160, 192, 224,
                                                  256, 288, 320, 352, 384, 416, 448};
inline constexpr BitrateTable mpeg1Layer2Bitrates{0,   32,  48,  56,  64,  80,  96, 112,
                                                  128, 160, 192, 224, 256, 320, 384};
inline constexpr BitrateTable mpeg1Layer3Bitrates{0,   32,  40,  48,  56,  64,  80, 96,
                                                  112, 128, 160, 192, 224, 256, 320};
// ISO/IEC 13818-3, the lower sampling rates (MPEG-2, and MPEG-2.5 after it).
inline constexpr BitrateTable lsfLayer1Bitrates{0,   32,  48,  56,  64,  80,  96, 112,
                                                128, 144, 160, 176, 192, 224, 256};
inline constexpr BitrateTable lsfLayer23Bitrates{0,  8,  16, 24,  32,  40,  48, 56,
                                                 64, 80, 96, 112, 128, 144, 160};

// Decodes the first four bytes into the header. False (header partly updated) for fewer than
// four bytes or the forbidden bitrate index 15. The frame-sync bits are not examined.
bool decodeFrameHeader(QByteArrayView bytes, FrameHeader& header);
// The frame's length in bytes as the MPEG audio standard counts it; 0 when it cannot be
// known (no sampling rate, no layer).
std::int32_t frameLength(std::int32_t version, std::int32_t layer, std::int32_t bitrate,
                         std::int32_t sampleRate, std::int32_t padding);
// Bytes from the frame start to its audio payload.
std::int32_t dataOffset(std::int32_t protection, std::int32_t layer, std::int32_t version,
                        std::int32_t channelMode);

// True for a header that a decoder would accept as the start of an MPEG audio frame: frame
// sync, a defined version and layer, a bitrate index other than free (0) and forbidden (15),
// a defined sampling rate.
bool isPlausibleFrameHeader(QByteArrayView bytes);

} // namespace tavorin
