#pragma once

#include "run/lyrics_file_steps.h"

#include <QStringList>

namespace tavorin {

// Adds an At-Tag Block describing the song each file was timed against, for every file of the
// list in list order.
void runNewTagMode(const QStringList& lyricsFiles, LyricsFileSteps& steps);

// One lyrics file, with its Run Log report.
void tagLyricsFile(const QString& lyricsPath, LyricsFileSteps& steps);

} // namespace tavorin
