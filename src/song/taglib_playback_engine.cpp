#include "song/taglib_playback_engine.h"

#include "shell/block_file.h"
#include "shell/cp932_codec.h"
#include "song/frame_header.h"
#include "song/id3v2_header.h"
#include "song/riff_chunk_reader.h"

#include <QFile>

#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/taglib.h>
#include <taglib/tbytevectorstream.h>

#include <algorithm>
#include <optional>

namespace tavorin {

namespace {

// How far past the leading tags the first MPEG audio frame is looked for.
constexpr std::int64_t frameSearchLimit = 256 * 1024;
constexpr std::int64_t searchBlockSize = 8 * 1024;
// Larger leading tags (huge pictures) are skipped rather than read for their texts.
constexpr std::int64_t maxTagBytes = 32 * 1024 * 1024;
constexpr std::int64_t maxInfoListBytes = 64 * 1024;
constexpr std::int64_t id3v1Size = 128;
// Leading ID3v2 tags skipped one after another before giving up.
constexpr int maxLeadingTags = 8;

// The bytes [pos, pos + n) of `bytes`, cut to what it holds.
QByteArrayView slice(QByteArrayView bytes, qsizetype pos, qsizetype n) {
    if (pos < 0 || pos >= bytes.size()) {
        return {};
    }
    return bytes.sliced(pos, std::min(n, bytes.size() - pos));
}

// TagLib texts cross as UTF-8, the one form both sides read alike on every platform.
QString toQString(const TagLib::String& text) {
    return QString::fromStdString(text.to8Bit(true));
}

TagLib::String toTagLibString(const QString& text) {
    return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

class Cp932Id3v1Handler : public TagLib::ID3v1::StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector& data) const override {
        // Fields are padded with NULs or spaces.
        QByteArrayView bytes(data.data(), static_cast<qsizetype>(data.size()));
        const qsizetype nul = bytes.indexOf('\0');
        if (nul >= 0) {
            bytes = bytes.first(nul);
        }
        while (!bytes.isEmpty() && bytes.back() == ' ') {
            bytes.chop(1);
        }
        return toTagLibString(decodeCp932(bytes).text);
    }

    TagLib::ByteVector render(const TagLib::String& text) const override {
        const QByteArray bytes = encodeCp932(toQString(text));
        return TagLib::ByteVector(bytes.constData(), static_cast<unsigned int>(bytes.size()));
    }
};

class Cp932Id3v2Handler : public TagLib::ID3v2::Latin1StringHandler {
public:
    TagLib::String parse(const TagLib::ByteVector& data) const override {
        const QByteArrayView bytes(data.data(), static_cast<qsizetype>(data.size()));
        return toTagLibString(decodeCp932(bytes).text);
    }
};

// The region of a song file that holds its MPEG data: the whole file, or an RMP's "data"
// chunk.
struct MpegRegion {
    std::int64_t start = 0;
    std::int64_t end = 0;
};

// A header is taken as the first frame when the frame after it starts with a header of the
// same version, layer and sampling rate, or when it reaches the end of the MPEG data.
bool isFirstFrame(BlockFile& song, std::int64_t offset, QByteArrayView bytes,
                  std::int64_t mpegEnd) {
    if (!isPlausibleFrameHeader(bytes)) {
        return false;
    }
    FrameHeader header;
    decodeFrameHeader(bytes, header);
    const std::int64_t next = offset + header.frameLength;
    if (next + 4 > mpegEnd) {
        return true;
    }
    const QByteArray nextBytes = song.bytesAt(next, 4);
    if (!isPlausibleFrameHeader(nextBytes)) {
        return false;
    }
    FrameHeader nextHeader;
    decodeFrameHeader(nextBytes, nextHeader);
    return nextHeader.version == header.version && nextHeader.layer == header.layer &&
           nextHeader.sampleRate == header.sampleRate;
}

std::optional<std::int64_t> findFirstFrame(BlockFile& song, std::int64_t from,
                                           std::int64_t mpegEnd) {
    const std::int64_t limit = std::min(mpegEnd, from + frameSearchLimit);
    for (std::int64_t block = from; block + 4 <= limit; block += searchBlockSize) {
        // Each block overlaps the next by three bytes so no header straddles unseen.
        const QByteArray bytes = song.bytesAt(block, std::min(searchBlockSize + 3, limit - block));
        for (qsizetype i = 0; i + 4 <= bytes.size() && i < searchBlockSize; ++i) {
            if (static_cast<unsigned char>(bytes[i]) == 0xFF &&
                isFirstFrame(song, block + i, QByteArrayView(bytes).sliced(i, 4), mpegEnd)) {
                return block + i;
            }
        }
    }
    return std::nullopt;
}

// Xing and LAME write "Xing" or "Info" where the Layer III side information ends. LAME leaves
// the CRC out of that count even when its header announces one, so both places are looked at.
// Fraunhofer's "VBRI" sits 32 bytes after the header. TagLib's MPEG::XingHeader answers
// another question: it looks for the ids anywhere in the frame and refuses a header without
// frame and byte counts, so a song would lose or gain its info frame against what we measure.
bool holdsInfoHeader(QByteArrayView frame, const FrameHeader& header) {
    if (header.layer != 3) {
        return false;
    }
    const auto isInfo = [&](qsizetype at) {
        const QByteArrayView id = slice(frame, at, 4);
        return id == "Xing" || id == "Info";
    };
    const std::int32_t crcBytes = header.protection == 0 ? 2 : 0;
    return isInfo(header.dataOffset) || isInfo(header.dataOffset - crcBytes) ||
           slice(frame, 36, 4) == "VBRI";
}

// The first byte after the ID3v2 tags that open the MPEG data (some taggers stack several),
// and the size of the first of them.
std::int64_t afterLeadingTags(BlockFile& song, std::int64_t from,
                              std::optional<std::int64_t>& firstTagSize) {
    for (int n = 0; n < maxLeadingTags; ++n) {
        const auto tagSize = id3v2TagSize(song.bytesAt(from, id3v2HeaderSize));
        if (!tagSize) {
            break;
        }
        if (n == 0) {
            firstTagSize = *tagSize;
        }
        from += *tagSize;
    }
    return from;
}

// Title, artist and album from the ID3v2 tag at the start of the MPEG data, each falling back
// to the ID3v1 tag at its end.
TagInfo readTags(BlockFile& song, const MpegRegion& mpeg, std::optional<std::int64_t> tagSize) {
    QByteArray bytes;
    if (tagSize && *tagSize <= maxTagBytes) {
        bytes = song.bytesAt(mpeg.start, *tagSize);
    }
    if (mpeg.end - id3v1Size >= mpeg.start) {
        const QByteArray id3v1 = song.bytesAt(mpeg.end - id3v1Size, id3v1Size);
        if (id3v1.size() == id3v1Size && id3v1.startsWith("TAG")) {
            bytes += id3v1;
        }
    }
    TagInfo tag;
    if (bytes.isEmpty()) {
        return tag;
    }
    // TagLib parses the tags from these bytes alone, so it never walks the song itself.
    TagLib::ByteVectorStream stream(
        TagLib::ByteVector(bytes.constData(), static_cast<unsigned int>(bytes.size())));
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    const auto pick = [](TagLib::Tag* v2, TagLib::Tag* v1, auto field) {
        if (v2 != nullptr && !(v2->*field)().isEmpty()) {
            return toQString((v2->*field)());
        }
        return v1 != nullptr ? toQString((v1->*field)()) : QString();
    };
    TagLib::Tag* v2 = file.ID3v2Tag();
    TagLib::Tag* v1 = file.ID3v1Tag();
    tag.title = pick(v2, v1, &TagLib::Tag::title);
    tag.artist = pick(v2, v1, &TagLib::Tag::artist);
    tag.album = pick(v2, v1, &TagLib::Tag::album);
    return tag;
}

} // namespace

void TaglibPlaybackEngine::init() {
    // TagLib keeps these handlers for the whole process; they must outlive every tag.
    static const Cp932Id3v1Handler id3v1Handler;
    static const Cp932Id3v2Handler id3v2Handler;
    TagLib::ID3v1::Tag::setStringHandler(&id3v1Handler);
    TagLib::ID3v2::Tag::setLatin1StringHandler(&id3v2Handler);
}

QString TaglibPlaybackEngine::name() const {
    return QStringLiteral("TagLib");
}

std::int32_t TaglibPlaybackEngine::version() const {
    return TAGLIB_MAJOR_VERSION * 100 + TAGLIB_MINOR_VERSION;
}

SongFacts TaglibPlaybackEngine::readSong(BlockFile& song) {
    SongFacts facts;
    if (!song.isOpen()) {
        facts.fileType = fileType::unreadable;
        return facts;
    }
    MpegRegion mpeg{0, song.size()};
    std::optional<RiffChunkSpan> infoList;
    const auto read = [&](std::int64_t offset, std::int64_t length) {
        return song.bytesAt(offset, length);
    };
    if (const auto riff = readRiffLayout(read, song.size())) {
        if (riff->formType != "RMP3") {
            facts.fileType = fileType::otherRiff;
            return facts;
        }
        if (!riff->data) {
            facts.fileType = fileType::otherRiff | fileType::noMpegAudio;
            return facts;
        }
        facts.fileType = riff->dataFirst ? fileType::rmpDataAt20 : fileType::otherRiff;
        mpeg = {riff->data->offset, riff->data->offset + riff->data->size};
        infoList = riff->info;
    }

    std::optional<std::int64_t> leadingTagSize;
    facts.audioStart = afterLeadingTags(song, mpeg.start, leadingTagSize);
    facts.audioEnd = mpeg.end;
    const auto first = findFirstFrame(song, facts.audioStart, mpeg.end);
    if (!first) {
        facts.fileType |= fileType::noMpegAudio;
        return facts;
    }
    const QByteArray frame = song.bytesAt(*first, 64);
    FrameHeader header;
    decodeFrameHeader(frame, header);
    facts.hasAudio = true;
    facts.sampleRate = header.sampleRate;
    facts.firstFrameBitrate = holdsInfoHeader(frame, header) ? 0 : header.bitrate;
    facts.tag = readTags(song, mpeg, leadingTagSize);
    if (infoList) {
        facts.riff = decodeInfoList(
            song.bytesAt(infoList->offset, std::min(infoList->size, maxInfoListBytes)));
    }
    return facts;
}

std::optional<std::int32_t> TaglibPlaybackEngine::lengthmSec(const QString& songPath) {
    TagLib::MPEG::File file(QFile::encodeName(songPath).constData(), true,
                            TagLib::AudioProperties::Average);
    const TagLib::AudioProperties* properties = file.isValid() ? file.audioProperties() : nullptr;
    if (properties == nullptr || properties->lengthInMilliseconds() <= 0) {
        return std::nullopt;
    }
    return properties->lengthInMilliseconds();
}

} // namespace tavorin
