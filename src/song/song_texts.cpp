#include "song/song_texts.h"

#include "shell/text_helpers.h"

namespace tavorin {

namespace {

QString riffElseTag(const QString& riffText, const QString& tagText) {
    const QString riffPart = cutAtNul(riffText);
    // A text of spaces is a text: it stands against the tag's.
    return riffPart.isEmpty() ? cutAtNul(tagText) : riffPart;
}

} // namespace

void chooseSongTexts(const RiffInfo& riff, const TagInfo& tag, SongInfo& info) {
    info.artist = riffElseTag(riff.artist, tag.artist);
    info.title = riffElseTag(riff.name, tag.title);
    info.album = riffElseTag(riff.product, tag.album);
}

} // namespace tavorin
