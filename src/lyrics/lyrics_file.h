#pragma once

#include "shell/atomic_file_writer.h"
#include "shell/text_codec.h"

#include <QString>
#include <QStringView>

#include <cstdint>

namespace tavorin {

// Why a lyrics file could not be read. An empty file is not a failure.
enum class LyricsReadFailure {
    None,
    Missing,      // no such file
    Unreadable,   // it exists but cannot be opened or read (or is not a regular file)
    TooLarge,     // over maxLyricsFileBytes
    NotDecodable, // its bytes do not decode without loss
};

inline constexpr std::int64_t maxLyricsFileBytes = 16 * 1024 * 1024;

struct LyricsText {
    QString text; // the whole file, decoded
    TextEncoding encoding = TextEncoding::Cp932;
    LyricsReadFailure failure = LyricsReadFailure::None;
};

LyricsText readLyricsText(const QString& path);

QString lyricsReadFailureMessage(LyricsReadFailure failure);

// Writes the text (already with CR LF line ends) in the file's own encoding, atomically.
WriteResult writeLyricsFile(const QString& path, const QString& text, TextEncoding encoding);
WriteResult writeLyricsFile(const QString& path, const QString& text, TextEncoding encoding,
                            FileLayer& files);

} // namespace tavorin
