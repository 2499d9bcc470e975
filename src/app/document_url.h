#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace tavorin {

class ShellServices;

// The address to hand to the desktop for a target: a web address starting with "http" (lower
// case) as it is, otherwise an existing ordinary file. Nothing for a missing document or a
// folder.
std::optional<QUrl> documentUrl(const QString& target);

// Opens the target with its default handler; false when it is missing or the desktop refused.
bool openDocument(ShellServices& shell, const QString& target);

} // namespace tavorin
