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

// What the engine learns about a song file from its leading bytes.
struct SongProbe {
    std::uint32_t flags = 0;
    std::int64_t mpegStart = 0; // the region that holds the MPEG data (an RMP's data chunk)
    std::int64_t mpegEnd = 0;
    std::optional<std::int64_t> leadingTag; // size of the ID3v2 tag at mpegStart
    std::optional<FrameHeader> firstFrame;
    bool infoFrame = false; // the first frame holds a Xing, Info or VBRI header
    std::optional<RiffChunkSpan> infoList;
};

// The song's bytes for the probe, which reads a few small pieces near its start: one read
// of the file's first block serves most of them (and the frame walk after it, when both read
// through the same file).
class SongReader {
public:
    explicit SongReader(BlockFile& song) : file(song) {}

    bool isOpen() const { return file.isOpen(); }
    std::int64_t fileSize() const { return file.size(); }

    QByteArray readAt(std::int64_t offset, std::int64_t length) {
        return file.bytesAt(offset, length);
    }

private:
    BlockFile& file;
};

// A header is taken as the first frame when the frame after it starts with a header of the
// same version, layer and sampling rate, or when it reaches the end of the MPEG data.
bool isFirstFrame(SongReader& reader, std::int64_t offset, QByteArrayView bytes,
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
    const QByteArray nextBytes = reader.readAt(next, 4);
    if (!isPlausibleFrameHeader(nextBytes)) {
        return false;
    }
    FrameHeader nextHeader;
    decodeFrameHeader(nextBytes, nextHeader);
    return nextHeader.version == header.version && nextHeader.layer == header.layer &&
           nextHeader.sampleRate == header.sampleRate;
}

std::optional<std::int64_t> findFirstFrame(SongReader& reader, std::int64_t from,
                                           std::int64_t mpegEnd) {
    const std::int64_t limit = std::min(mpegEnd, from + frameSearchLimit);
    for (std::int64_t block = from; block + 4 <= limit; block += searchBlockSize) {
        // Each block overlaps the next by three bytes so no header straddles unseen.
        const QByteArray bytes = reader.readAt(block, std::min(searchBlockSize + 3, limit - block));
        for (qsizetype i = 0; i + 4 <= bytes.size() && i < searchBlockSize; ++i) {
            if (static_cast<unsigned char>(bytes[i]) == 0xFF &&
                isFirstFrame(reader, block + i, QByteArrayView(bytes).sliced(i, 4), mpegEnd)) {
                return block + i;
            }
        }
    }
    return std::nullopt;
}

// Xing and LAME write "Xing" or "Info" where the Layer III side information ends. LAME leaves
// the CRC out of that count even when its header announces one, so both places are looked at.
// Fraunhofer's "VBRI" sits 32 bytes after the header.
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

SongProbe probeSong(SongReader& reader) {
    SongProbe probe;
    if (!reader.isOpen()) {
        probe.flags = fileType::unreadable;
        return probe;
    }
    probe.mpegEnd = reader.fileSize();

    const auto read = [&](std::int64_t offset, std::int64_t length) {
        return reader.readAt(offset, length);
    };
    if (const auto riff = readRiffLayout(read, reader.fileSize())) {
        if (riff->formType != "RMP3") {
            probe.flags = fileType::otherRiff;
            return probe;
        }
        probe.infoList = riff->info;
        if (!riff->data) {
            probe.flags = fileType::otherRiff | fileType::noMpegAudio;
            return probe;
        }
        probe.flags = riff->dataFirst ? fileType::rmpDataAt20 : fileType::otherRiff;
        probe.mpegStart = riff->data->offset;
        probe.mpegEnd = riff->data->offset + riff->data->size;
    }

    std::int64_t audioStart = probe.mpegStart;
    for (int n = 0; n < maxLeadingTags; ++n) {
        const auto tagSize = id3v2TagSize(reader.readAt(audioStart, id3v2HeaderSize));
        if (!tagSize) {
            break;
        }
        if (n == 0) {
            probe.leadingTag = *tagSize;
        }
        audioStart += *tagSize;
    }

    const auto first = findFirstFrame(reader, audioStart, probe.mpegEnd);
    if (!first) {
        probe.flags |= fileType::noMpegAudio;
        return probe;
    }
    const QByteArray frame = reader.readAt(*first, 64);
    FrameHeader header;
    decodeFrameHeader(frame, header);
    probe.firstFrame = header;
    probe.infoFrame = holdsInfoHeader(frame, header);
    return probe;
}

// Title, artist and album from the ID3v2 tag, each falling back to the ID3v1 tag.
TagInfo readTags(SongReader& reader, const SongProbe& probe) {
    QByteArray bytes;
    if (probe.leadingTag && *probe.leadingTag <= maxTagBytes) {
        bytes = reader.readAt(probe.mpegStart, *probe.leadingTag);
    }
    if (probe.mpegEnd - id3v1Size >= probe.mpegStart) {
        const QByteArray id3v1 = reader.readAt(probe.mpegEnd - id3v1Size, id3v1Size);
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

// Everything the engine's calls report about one song, read in one pass over it.
struct TaglibPlaybackEngine::SongFacts {
    std::uint32_t flags = 0;
    bool hasAudio = false;
    TagInfo tag;
    MpegInfo mpeg;
    RiffInfo riff;
};

struct TaglibPlaybackEngine::CachedSong {
    QString path;
    FileStamp stamp;
    SongFacts facts;
};

TaglibPlaybackEngine::SongFacts TaglibPlaybackEngine::readFacts(BlockFile& song) {
    SongFacts facts;
    SongReader reader(song);
    const SongProbe probe = probeSong(reader);
    facts.flags = probe.flags;
    if (!probe.firstFrame) {
        return facts;
    }
    facts.hasAudio = true;
    facts.mpeg.sampleRate = probe.firstFrame->sampleRate;
    facts.mpeg.firstFrameBitrate = probe.infoFrame ? 0 : probe.firstFrame->bitrate;
    facts.tag = readTags(reader, probe);
    if (probe.infoList) {
        facts.riff = decodeInfoList(reader.readAt(
            probe.infoList->offset, std::min(probe.infoList->size, maxInfoListBytes)));
    }
    return facts;
}

// A measurement asks the engine three times about the same song, one call after the other; the
// song is read once and its facts kept while the file stays the same one, unchanged. Asked by
// path, the engine looks the song up to tell; asked about an opened song, its stamp as opened
// tells, and the song is read through it.
const TaglibPlaybackEngine::SongFacts& TaglibPlaybackEngine::factsOf(const QString& path) {
    if (lastSong && lastSong->path == path && lastSong->stamp == fileStampOf(path)) {
        return lastSong->facts;
    }
    BlockFile song(path);
    return factsOf(path, song);
}

const TaglibPlaybackEngine::SongFacts& TaglibPlaybackEngine::factsOf(const QString& path,
                                                                     BlockFile& song) {
    if (lastSong && lastSong->path == path && lastSong->stamp == song.stamp()) {
        return lastSong->facts;
    }
    auto cached = std::make_unique<CachedSong>();
    cached->path = path;
    cached->stamp = song.stamp();
    cached->facts = readFacts(song);
    lastSong = std::move(cached);
    return lastSong->facts;
}

TaglibPlaybackEngine::TaglibPlaybackEngine() {
    init();
}

TaglibPlaybackEngine::~TaglibPlaybackEngine() = default;

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

std::uint32_t TaglibPlaybackEngine::fileType(const QString& path) {
    return factsOf(path).flags;
}

bool TaglibPlaybackEngine::fileInfo(const QString& path, TagInfo& tag, MpegInfo& mpeg) {
    const SongFacts& facts = factsOf(path);
    tag = facts.tag;
    mpeg = facts.mpeg;
    return facts.hasAudio;
}

void TaglibPlaybackEngine::fileInfo2(const QString& path, TagInfo& tag, MpegInfo& mpeg,
                                     RiffInfo& riff) {
    const SongFacts& facts = factsOf(path);
    tag = facts.tag;
    mpeg = facts.mpeg;
    riff = facts.riff;
}

std::uint32_t TaglibPlaybackEngine::fileType(const QString& path, BlockFile& song) {
    return factsOf(path, song).flags;
}

bool TaglibPlaybackEngine::fileInfo(const QString& path, BlockFile& song, TagInfo& tag,
                                    MpegInfo& mpeg) {
    const SongFacts& facts = factsOf(path, song);
    tag = facts.tag;
    mpeg = facts.mpeg;
    return facts.hasAudio;
}

void TaglibPlaybackEngine::fileInfo2(const QString& path, BlockFile& song, TagInfo& tag,
                                     MpegInfo& mpeg, RiffInfo& riff) {
    const SongFacts& facts = factsOf(path, song);
    tag = facts.tag;
    mpeg = facts.mpeg;
    riff = facts.riff;
}

} // namespace tavorin
