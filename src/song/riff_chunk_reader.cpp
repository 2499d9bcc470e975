#include "song/riff_chunk_reader.h"

#include "shell/cp932_codec.h"

#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>

namespace tavorin {

namespace {

// A RIFF file: "RIFF", 32-bit little-endian size, 4-byte form type, then chunks of a 4-byte
// id, a 32-bit little-endian body size and the body, padded to an even length.
constexpr std::int64_t riffHeaderSize = 12;
constexpr std::int64_t chunkHeaderSize = 8;
constexpr int maxChunks = 1024;

QString decodeInfoText(QByteArrayView bytes) {
    Cp932Decoding decoded = decodeCp932(bytes);
    if (!decoded.lossless) {
        // Some tools write UTF-8 into RIFF INFO; keep the code-page text otherwise.
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8.decode(bytes);
        if (!utf8.hasError()) {
            return text;
        }
    }
    return decoded.text;
}

// The bytes [pos, pos + n) of `bytes`, cut to what it holds.
QByteArrayView slice(QByteArrayView bytes, qsizetype pos, qsizetype n) {
    if (pos >= bytes.size()) {
        return {};
    }
    return bytes.sliced(pos, std::min(n, bytes.size() - pos));
}

} // namespace

std::optional<RiffLayout> readRiffLayout(const ByteSource& read, std::int64_t fileSize) {
    const QByteArray header = read(0, riffHeaderSize);
    if (header.size() < riffHeaderSize || !header.startsWith("RIFF")) {
        return std::nullopt;
    }
    RiffLayout layout;
    layout.formType = header.mid(8, 4);

    std::int64_t offset = riffHeaderSize;
    for (int n = 0; n < maxChunks && offset + chunkHeaderSize <= fileSize; ++n) {
        const QByteArray chunk = read(offset, chunkHeaderSize);
        if (chunk.size() < chunkHeaderSize) {
            break;
        }
        const QByteArray id = chunk.left(4);
        const std::int64_t size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        const std::int64_t body = offset + chunkHeaderSize;
        const RiffChunkSpan span{body, std::min(size, fileSize - body)};
        if (id == "data" && !layout.data) {
            layout.data = span;
            layout.dataFirst = offset == riffHeaderSize;
        } else if (id == "LIST" && !layout.info && read(body, 4) == "INFO") {
            layout.info = span;
        }
        if (size > fileSize - body) {
            break;
        }
        offset = body + size + (size & 1);
    }
    return layout;
}

RiffInfo decodeInfoList(QByteArrayView listBody) {
    RiffInfo info;
    if (!listBody.startsWith("INFO")) {
        return info;
    }
    qsizetype offset = 4;
    while (offset + chunkHeaderSize <= listBody.size()) {
        const QByteArrayView id = listBody.sliced(offset, 4);
        const qsizetype size = qFromLittleEndian<quint32>(listBody.data() + offset + 4);
        const qsizetype body = offset + chunkHeaderSize;
        const QByteArrayView text = slice(listBody, body, size);
        if (id == "INAM") {
            info.name = decodeInfoText(text);
        } else if (id == "IART") {
            info.artist = decodeInfoText(text);
        } else if (id == "IPRD") {
            info.product = decodeInfoText(text);
        }
        if (size > listBody.size() - body) {
            break;
        }
        offset = body + size + (size & 1);
    }
    return info;
}

} // namespace tavorin
