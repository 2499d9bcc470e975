#include "song/decoded_start.h"

#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace tavorin {

namespace {

constexpr std::int32_t windowMs = 10;
constexpr double thresholdDbfs = -60.0;
// The MPEG data is fed to the decoder in blocks of this size, so a song whose music starts
// early is read no further than a block past it.
constexpr std::int64_t feedBlockBytes = 16 * 1024;
constexpr double fullScale = 32768.0;

struct HandleDeleter {
    void operator()(mpg123_handle* handle) const { mpg123_delete(handle); }
};
using DecoderHandle = std::unique_ptr<mpg123_handle, HandleDeleter>;

// 16-bit samples at every rate the decoder offers, mono or stereo as the stream is.
DecoderHandle openDecoder() {
    static const bool initialised = mpg123_init() == MPG123_OK;
    if (!initialised) {
        return nullptr;
    }
    int error = MPG123_OK;
    DecoderHandle handle(mpg123_new(nullptr, &error));
    if (!handle) {
        return nullptr;
    }
    // Gapless: the delay and padding a LAME/Info tag states are cut, as a gapless player does.
    if (mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0) !=
            MPG123_OK ||
        mpg123_format_none(handle.get()) != MPG123_OK) {
        return nullptr;
    }
    const long* rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i) {
        if (mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO,
                          MPG123_ENC_SIGNED_16) != MPG123_OK) {
            return nullptr;
        }
    }
    if (mpg123_open_feed(handle.get()) != MPG123_OK) {
        return nullptr;
    }
    return handle;
}

// Follows the decoded samples, one sample frame (all channels) at a time, and finds the first
// that brings the window ending with it to the threshold.
class StartFinder {
public:
    void setFormat(long sampleRate, int channelCount) {
        // A stream that changes its format midway keeps its time so far.
        earliermSec = mSecBefore();
        samplesBefore = 0;
        rate = sampleRate;
        channels = channelCount;
        const auto windowFrames =
            static_cast<std::size_t>(std::max<long>(1, rate * windowMs / 1000));
        window.assign(windowFrames, 0.0);
        next = 0;
        windowEnergy = 0.0;
        // The window's mean square over all its samples, at the threshold.
        thresholdEnergy = static_cast<double>(windowFrames) * channels *
                          std::pow(10.0, thresholdDbfs / 10.0) * fullScale * fullScale;
    }

    bool hasFormat() const { return rate > 0 && channels > 0; }

    // The samples in bytes (native 16-bit, interleaved); true when the start is among them.
    bool take(const unsigned char* bytes, std::size_t size) {
        const std::size_t frameBytes = static_cast<std::size_t>(channels) * sizeof(std::int16_t);
        for (std::size_t at = 0; at + frameBytes <= size; at += frameBytes) {
            double energy = 0.0;
            for (int c = 0; c < channels; ++c) {
                std::int16_t sample = 0;
                std::memcpy(&sample, bytes + at + static_cast<std::size_t>(c) * sizeof(sample),
                            sizeof(sample));
                energy += static_cast<double>(sample) * sample;
            }
            windowEnergy += energy - window[next];
            window[next] = energy;
            next = (next + 1) % window.size();
            if (windowEnergy >= thresholdEnergy) {
                return true;
            }
            ++samplesBefore;
        }
        return false;
    }

    bool pastLimit() const { return mSecBefore() >= maxDecodedSeconds * 1000.0; }

    // The start's time, rounded half to even (the default rounding mode).
    std::int32_t startmSec() const {
        return static_cast<std::int32_t>(std::nearbyint(mSecBefore()));
    }

private:
    long rate = 0;
    int channels = 0;
    std::vector<double> window; // the energy of each sample frame of the window, a ring
    std::size_t next = 0;
    double windowEnergy = 0.0;
    double thresholdEnergy = 0.0;
    std::int64_t samplesBefore = 0; // sample frames decoded before the start, at this rate
    double earliermSec = 0.0;       // the time decoded at the formats before this one

    double mSecBefore() const {
        return rate > 0 ? earliermSec + static_cast<double>(samplesBefore) * 1000.0 /
                                            static_cast<double>(rate)
                        : earliermSec;
    }
};

} // namespace

std::optional<std::int32_t> decodedStartmSec(const ByteSource& read, std::int64_t from,
                                             std::int64_t to) {
    const DecoderHandle decoder = openDecoder();
    if (!decoder) {
        return std::nullopt;
    }
    std::vector<unsigned char> output(mpg123_outblock(decoder.get()));
    StartFinder finder;
    for (std::int64_t offset = from; offset < to; offset += feedBlockBytes) {
        const QByteArray block = read(offset, std::min(feedBlockBytes, to - offset));
        if (block.isEmpty()) {
            break;
        }
        if (mpg123_feed(decoder.get(), reinterpret_cast<const unsigned char*>(block.constData()),
                        static_cast<std::size_t>(block.size())) != MPG123_OK) {
            return std::nullopt;
        }
        for (;;) {
            std::size_t done = 0;
            const int result = mpg123_read(decoder.get(), output.data(), output.size(), &done);
            if (result == MPG123_NEW_FORMAT) {
                long rate = 0;
                int channels = 0;
                int encoding = 0;
                if (mpg123_getformat(decoder.get(), &rate, &channels, &encoding) != MPG123_OK ||
                    rate <= 0 || channels <= 0 || encoding != MPG123_ENC_SIGNED_16) {
                    return std::nullopt;
                }
                finder.setFormat(rate, channels);
                continue;
            }
            if (done > 0 && finder.hasFormat() && finder.take(output.data(), done)) {
                return finder.pastLimit() ? std::nullopt : std::optional(finder.startmSec());
            }
            if (finder.pastLimit()) {
                return std::nullopt;
            }
            if (result == MPG123_NEED_MORE || result == MPG123_DONE) {
                break;
            }
            if (result != MPG123_OK) {
                return std::nullopt;
            }
        }
    }
    return std::nullopt;
}

} // namespace tavorin
