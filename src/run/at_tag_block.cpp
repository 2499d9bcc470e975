#include "run/at_tag_block.h"

#include "lyrics/at_tag_key.h"
#include "shell/number_format.h"

namespace tavorin {

namespace {

const QString crlf = QStringLiteral("\r\n");

QString atTagLine(AtTagKey key, const QString& value) {
    return atTagKeyText(key).toString() + u'=' + value;
}

void appendIfNotEmpty(QStringList& lines, AtTagKey key, const QString& value) {
    if (!value.isEmpty()) {
        lines.append(atTagLine(key, value));
    }
}

} // namespace

QStringList atTagLines(const AtTagBlock& block) {
    QStringList lines;
    lines.append(atTagLine(AtTagKey::TimeRatio, formatGeneralNumber(block.timeRatio)));
    lines.append(atTagLine(AtTagKey::SilencemSec, QString::number(block.silencemSec)));
    // Straight after "@SilencemSec=", the one place a reader trusts it.
    if (block.audioStartmSec) {
        lines.append(atTagLine(AtTagKey::AudioStartmSec, QString::number(*block.audioStartmSec)));
    }
    if (block.offset != 0) {
        lines.append(atTagLine(AtTagKey::Offset, QString::number(block.offset)));
    }
    if (block.taggingBy) {
        lines.append(atTagLine(AtTagKey::TaggingBy, *block.taggingBy));
    }
    if (block.editedBy) {
        lines.append(atTagLine(AtTagKey::EditedBy, *block.editedBy));
    }
    appendIfNotEmpty(lines, AtTagKey::Title, block.title);
    appendIfNotEmpty(lines, AtTagKey::Artist, block.artist);
    appendIfNotEmpty(lines, AtTagKey::Album, block.album);
    appendIfNotEmpty(lines, AtTagKey::Bgfile, block.bgfile);
    appendIfNotEmpty(lines, AtTagKey::Bgfolder, block.bgfolder);
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
