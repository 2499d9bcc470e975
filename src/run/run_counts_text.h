#pragma once

#include "run/lyrics_file_steps.h"

#include <QString>

namespace tavorin {

// How a run went, in one line both front ends show at its end: the wizard in its status panel,
// tavorin-cli on standard error. Every outcome falls under one of the four words: files left
// as they were on purpose are skipped, files the run could not change have failed.
inline QString runCountsText(const RunSummary& summary) {
    return QStringLiteral("書き込み %1、スキップ %2、曲なし %3、失敗 %4")
        .arg(summary.count(FileOutcome::Written))
        .arg(summary.count(FileOutcome::AlreadyYours) + summary.count(FileOutcome::AlreadyTagged))
        .arg(summary.count(FileOutcome::SongNotFound))
        .arg(summary.failures());
}

} // namespace tavorin
