#pragma once

#include "lyrics/lyrics_file.h"
#include "lyrics/lyrics_reading.h"
#include "lyrics/time_tag.h"
#include "run/lyrics_file_record.h"
#include "run/run_host.h"
#include "run/song_lookup.h"
#include "settings/wizard_settings.h"
#include "song/song_info.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace tavorin {

// How one lyrics file's turn in a run ended. Every file handled ends in exactly one of these,
// logged by logFileOutcome, which is also where the run counts them.
enum class FileOutcome {
    Written,          // replaced (or, in a dry run, would have been)
    AlreadyYours,     // Correction Mode: already corrected under the user's name
    AlreadyTagged,    // New-Tag Mode: already carries At-Tags
    SongNotFound,
    ReadFailed,       // the lyrics file could not be read whole
    ConversionFailed, // its Time Tags could not be converted
    WriteFailed,
};
inline constexpr int fileOutcomeCount = 7;

struct RunSummary {
    bool aborted = false;
    int filesHandled = 0;
    std::array<int, fileOutcomeCount> outcomeCounts{};

    int count(FileOutcome outcome) const { return outcomeCounts[static_cast<int>(outcome)]; }
    // Files the run meant to change and could not.
    int failures() const {
        return count(FileOutcome::ReadFailed) + count(FileOutcome::ConversionFailed) +
               count(FileOutcome::WriteFailed);
    }
};

// Measures one song file; winampTime: the user's time base is Winamp Time.
using SongMeasure = std::function<SongInfo(const QString& songPath, bool winampTime)>;

// Replaces a lyrics file with text in the given encoding, atomically.
using LyricsWriter =
    std::function<WriteResult(const QString& path, const QString& text, TextEncoding encoding)>;

// Receives each lyrics file's record when its turn ends.
using LyricsFileRecorder = std::function<void(const LyricsFileRecord& record)>;

// What the steps every lyrics file goes through work with, in either mode, during one run.
struct LyricsFileSteps {
    RunHost& host;
    SongLookup& songLookup;
    SongMeasure measureSong;
    LyricsWriter writeLyrics;
    const WizardSettings& settings;
    bool dryRun = false;
    RunSummary& summary;
    LyricsFileRecorder recordFile = {};
    bool keepTexts = false;       // the record also holds the file's text before and after
    LyricsFileRecord record = {}; // of the file in hand
};

inline const QString crlf = QStringLiteral("\r\n");

// The loop both modes share: per file, pending events run, an abort request ends the loop
// before the file, the progress shows the files already handled.
void forEachLyricsFile(const QStringList& lyricsFiles, LyricsFileSteps& steps,
                       const std::function<void(const QString& lyricsPath)>& handleFile);

struct PreparedLyricsFile {
    SongInfo song;
    LyricsReading reading;
};

// The first steps of both modes: log the lyrics file, find and log its song, measure the song,
// read the lyrics file. Nothing when the song is missing or the file cannot be read (both
// logged; such a file is left untouched).
std::optional<PreparedLyricsFile> findSongAndReadLyrics(const QString& lyricsPath,
                                                        LyricsFileSteps& steps);

// The last steps of both modes: replace the file with text (not in a dry run) and log how
// that went.
void writeLyricsAndReport(const QString& lyricsPath, const QString& text, TextEncoding encoding,
                          LyricsFileSteps& steps);

// The times of the Time Tags, to count afterwards how many a step changed.
std::vector<std::int32_t> timeTagTimes(const TaggedBody& body);
// Records how many Time Tags differ from before and the latest time in the song.
void recordTimeTags(LyricsFileRecord& record, const std::vector<std::int32_t>& before,
                    const TaggedBody& after);

// Counts how the file's turn ended and logs its last line, followed by the empty line that
// ends the file's report.
void logFileOutcome(LyricsFileSteps& steps, FileOutcome outcome, const QString& message);

} // namespace tavorin
