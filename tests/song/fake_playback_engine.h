#pragma once

#include "song/playback_engine.h"

#include <QString>
#include <QStringList>

namespace tavorin {

// A playback engine that answers from fields a test sets, notes which songs it was asked
// about, and counts its initialisations.
class FakePlaybackEngine : public PlaybackEngine {
public:
    std::uint32_t flags = 0;
    bool infoSucceeds = true;
    TagInfo tag;
    MpegInfo mpeg{128, 44100};
    RiffInfo riff;
    QStringList asked;
    int initCount = 0;
    std::int32_t engineVersion = 100;

    void init() override { ++initCount; }
    QString name() const override { return QStringLiteral("FakeEngine"); }
    std::int32_t version() const override { return engineVersion; }
    std::uint32_t fileType(const QString& path) override {
        asked << path;
        return flags;
    }
    bool fileInfo(const QString& path, TagInfo& tagOut, MpegInfo& mpegOut) override {
        asked << path;
        tagOut = infoSucceeds ? tag : TagInfo{};
        mpegOut = infoSucceeds ? mpeg : MpegInfo{};
        return infoSucceeds;
    }
    void fileInfo2(const QString& path, TagInfo& tagOut, MpegInfo& mpegOut,
                   RiffInfo& riffOut) override {
        fileInfo(path, tagOut, mpegOut);
        riffOut = infoSucceeds ? riff : RiffInfo{};
    }
};

} // namespace tavorin
