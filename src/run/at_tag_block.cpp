#include "run/at_tag_block.h"

#include "shell/number_format.h"

namespace tavorin {

namespace {

const QString crlf = QStringLiteral("\r\n");

void appendIfNotEmpty(QStringList& lines, const QString& key, const QString& value) {
    if (!value.isEmpty()) {
        lines.append(key + value);
    }
}

} // namespace

QStringList atTagLines(const AtTagBlock& block) {
    QStringList lines;
    lines.append(QStringLiteral("@TimeRatio=") + formatGeneralNumber(block.timeRatio));
    lines.append(QStringLiteral("@SilencemSec=") + QString::number(block.silencemSec));
    if (block.offset != 0) {
        lines.append(QStringLiteral("@Offset=") + QString::number(block.offset));
    }
    if (block.taggingBy) {
        lines.append(QStringLiteral("@TaggingBy=") + *block.taggingBy);
    }
    if (block.editedBy) {
        lines.append(QStringLiteral("@EditedBy=") + *block.editedBy);
    }
    appendIfNotEmpty(lines, QStringLiteral("@Title="), block.title);
    appendIfNotEmpty(lines, QStringLiteral("@Artist="), block.artist);
    appendIfNotEmpty(lines, QStringLiteral("@Album="), block.album);
    appendIfNotEmpty(lines, QStringLiteral("@Bgfile="), block.bgfile);
    appendIfNotEmpty(lines, QStringLiteral("@Bgfolder="), block.bgfolder);
    return lines;
}

QString lyricsTextWithBlock(QString body, const AtTagBlock& block) {
    QString text = std::move(body);
    if (!text.endsWith(crlf + crlf)) {
        text += crlf;
    }
    text += atTagLines(block).join(crlf);
    text += crlf;
    return text;
}

AtTagBlock atTagBlockFor(const SongInfo& song, const LyricsRecord& record, bool atArtist) {
    AtTagBlock block;
    block.timeRatio = song.timeRatio;
    block.silencemSec = song.silencemSec;
    block.offset = record.offset;
    block.title = atArtist ? song.title : record.title;
    block.artist = atArtist ? song.artist : record.artist;
    block.album = atArtist ? song.album : record.album;
    block.bgfile = record.bgfile;
    block.bgfolder = record.bgfolder;
    return block;
}

} // namespace tavorin
