#include "song/frame_header.h"

#include <QtEndian>

namespace tavorin {

namespace {

// Bits are numbered 1..32 from the most significant bit of the first byte:
//   1-11 frame sync, 12-13 version (00 = 2.5, 10 = 2, 11 = 1), 14-15 layer (11 = I, 10 = II,
//   01 = III), 16 protection, 17-20 bitrate index, 21-22 sampling rate index, 23 padding,
//   24 private, 25-26 channel mode, 27-32 mode extension, copyright, original, emphasis.
// The `count` bits from bit `first` on of a header's four bytes, read as one big-endian word.
int bits(quint32 word, int first, int count = 1) {
    return static_cast<int>((word >> (33 - first - count)) & ((1u << count) - 1));
}

const BitrateTable& bitrateTable(std::int32_t version, std::int32_t layer) {
    if (version == 1) {
        switch (layer) {
        case 1:
            return mpeg1Layer1Bitrates;
        case 2:
            return mpeg1Layer2Bitrates;
        case 3:
            return mpeg1Layer3Bitrates;
        default:
            break;
        }
    } else if (version == 2 && layer == 1) {
        return lsfLayer1Bitrates;
    }
    return lsfLayer23Bitrates;
}

// value / divisor to the nearest whole number, halves to the even neighbour.
std::int32_t divideHalfEven(std::int32_t value, std::int32_t divisor) {
    std::int32_t quotient = value / divisor;
    const std::int32_t twiceRest = 2 * (value % divisor);
    if (twiceRest > divisor || (twiceRest == divisor && quotient % 2 != 0)) {
        ++quotient;
    }
    return quotient;
}

} // namespace

bool decodeFrameHeader(QByteArrayView bytes, FrameHeader& header) {
    if (bytes.size() < 4) {
        return false;
    }
    const auto word = qFromBigEndian<quint32>(bytes.data());
    header.version = bits(word, 12) == 0 ? 3 : (bits(word, 13) == 1 ? 1 : 2);
    switch (bits(word, 14, 2)) {
    case 3:
        header.layer = 1;
        break;
    case 2:
        header.layer = 2;
        break;
    case 1:
        header.layer = 3;
        break;
    default:
        break; // reserved: the layer stays
    }
    header.protection = bits(word, 16);

    const int bitrateIndex = bits(word, 17, 4);
    if (bitrateIndex == 15) {
        return false;
    }
    header.bitrate = bitrateTable(header.version, header.layer)[bitrateIndex];

    switch (bits(word, 21, 2)) {
    case 0:
        header.sampleRate = 44100;
        break;
    case 1:
        header.sampleRate = 48000;
        break;
    case 2:
        header.sampleRate = 32000;
        break;
    default:
        break; // reserved: the rate stays, and is still scaled below
    }
    if (header.version == 2) {
        header.sampleRate = divideHalfEven(header.sampleRate, 2);
    } else if (header.version == 3) {
        header.sampleRate = divideHalfEven(header.sampleRate, 4);
    }

    header.padding = bits(word, 23);
    header.privateBit = bits(word, 24);
    header.channelMode = bits(word, 25, 2);
    header.frameLength = frameLength(header.version, header.layer, header.bitrate,
                                     header.sampleRate, header.padding);
    header.dataOffset =
        dataOffset(header.protection, header.layer, header.version, header.channelMode);
    return true;
}

std::int32_t frameLength(std::int32_t version, std::int32_t layer, std::int32_t bitrate,
                         std::int32_t sampleRate, std::int32_t padding) {
    if (sampleRate <= 0) {
        return 0;
    }
    // bitrate is in kbit/s: bytes per frame = samples / 8 * bitrate * 1000 / sampleRate.
    const std::int64_t rate = sampleRate;
    const std::int64_t kbps = bitrate;
    switch (layer) {
    case 1: // 384 samples in slots of 4 bytes
        return static_cast<std::int32_t>((12000 * kbps / rate + padding) * 4);
    case 2: // 1152 samples in every version
        return static_cast<std::int32_t>(144000 * kbps / rate + padding);
    case 3: // 1152 samples in MPEG-1, 576 in MPEG-2 and 2.5
        return static_cast<std::int32_t>((version == 1 ? 144000 : 72000) * kbps / rate + padding);
    default:
        return 0;
    }
}

std::int32_t dataOffset(std::int32_t protection, std::int32_t layer, std::int32_t version,
                        std::int32_t channelMode) {
    std::int32_t offset = protection == 1 ? 4 : 6; // header, then the 16-bit CRC if any
    if (layer == 3) {
        // Layer III side information.
        const bool single = channelMode == 3;
        if (version == 1) {
            offset += single ? 17 : 32;
        } else {
            offset += single ? 9 : 17;
        }
    }
    return offset;
}

bool isPlausibleFrameHeader(QByteArrayView bytes) {
    if (bytes.size() < 4) {
        return false;
    }
    const auto word = qFromBigEndian<quint32>(bytes.data());
    if (bits(word, 1, 11) != 0x7FF) {
        return false;
    }
    const int versionBits = bits(word, 12, 2);
    const int layerBits = bits(word, 14, 2);
    const int bitrateIndex = bits(word, 17, 4);
    const int rateIndex = bits(word, 21, 2);
    return versionBits != 1 && layerBits != 0 && bitrateIndex != 0 && bitrateIndex != 15 &&
           rateIndex != 3;
}

} // namespace tavorin
