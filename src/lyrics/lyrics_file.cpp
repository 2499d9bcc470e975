#include "lyrics/lyrics_file.h"

#include "shell/block_file.h"

#include <QFileInfo>

namespace tavorin {

LyricsText readLyricsText(const QString& path) {
    LyricsText result;
    // Opened first: asking about the file beforehand would cost a run of thousands of files
    // two system calls each. Only a file that will not open is looked at, for the reason.
    BlockFile file(path);
    if (!file.isOpen()) {
        // A name that leads nowhere (not even to a dangling link) is missing; a folder, a
        // dangling link or a file that may not be read is unreadable.
        const QFileInfo info(path);
        result.failure = !info.exists() && !info.isSymLink() ? LyricsReadFailure::Missing
                                                             : LyricsReadFailure::Unreadable;
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
    result.text = std::move(decoded.text);
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
