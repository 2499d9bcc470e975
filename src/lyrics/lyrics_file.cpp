#include "lyrics/lyrics_file.h"

#include "shell/block_file.h"

#include <QFileInfo>

namespace tavorin {

QStringList splitLyricsLines(QStringView text) {
    // Each LF ends a line and every CR is dropped, so CR LF and LF files read alike and a file
    // of CRs alone runs together into one line. One pass over the text, whatever its size.
    QStringList lines;
    const qsizetype size = text.size();
    qsizetype begin = 0;
    while (begin < size) {
        const qsizetype lineFeed = text.indexOf(QLatin1Char('\n'), begin);
        const qsizetype end = lineFeed < 0 ? size : lineFeed;
        QString line = text.sliced(begin, end - begin).toString();
        line.remove(QLatin1Char('\r'));
        // Text after the last LF is a line of its own unless only CRs stood there.
        if (lineFeed >= 0 || !line.isEmpty()) {
            lines.append(std::move(line));
        }
        begin = end + 1;
    }
    return lines;
}

LyricsLines readLyricsLines(const QString& path) {
    LyricsLines result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.failure =
            info.isSymLink() ? LyricsReadFailure::Unreadable : LyricsReadFailure::Missing;
        return result;
    }
    if (!info.isFile()) {
        result.failure = LyricsReadFailure::Unreadable;
        return result;
    }
    BlockFile file(path);
    if (!file.isOpen()) {
        result.failure = LyricsReadFailure::Unreadable;
        return result;
    }
    const qint64 size = file.size();
    if (size > maxLyricsFileBytes) {
        result.failure = LyricsReadFailure::TooLarge;
        return result;
    }
    if (size == 0) {
        return result;
    }
    std::int32_t position = 0;
    const std::optional<QByteArray> bytes =
        file.blockRead(position, static_cast<std::int32_t>(size));
    if (!bytes) {
        result.failure = LyricsReadFailure::Unreadable;
        return result;
    }
    DecodedText decoded = decodeText(*bytes);
    result.encoding = decoded.encoding;
    if (!decoded.lossless) {
        result.failure = LyricsReadFailure::NotDecodable;
        return result;
    }
    result.lines = splitLyricsLines(decoded.text);
    return result;
}

QString lyricsReadFailureMessage(LyricsReadFailure failure) {
    switch (failure) {
    case LyricsReadFailure::None:
        return QString();
    case LyricsReadFailure::Missing:
        return QStringLiteral("歌詞ファイルが読めません。（見つかりません）");
    case LyricsReadFailure::Unreadable:
        return QStringLiteral("歌詞ファイルが読めません。（開けません）");
    case LyricsReadFailure::TooLarge:
        return QStringLiteral("歌詞ファイルが読めません。（16MB を超えています）");
    case LyricsReadFailure::NotDecodable:
        return QStringLiteral("歌詞ファイルが読めません。（文字コードを判別できません）");
    }
    return QString();
}

WriteResult writeLyricsFile(const QString& path, const QString& text, TextEncoding encoding) {
    return writeFileAtomically(path, encodeText(text, encoding));
}

WriteResult writeLyricsFile(const QString& path, const QString& text, TextEncoding encoding,
                            FileLayer& files) {
    return writeFileAtomically(path, encodeText(text, encoding), files);
}

} // namespace tavorin
