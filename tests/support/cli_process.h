#pragma once

#include <QProcess>
#include <QStringList>

namespace tavorin::testing {

// Starts tavorin-cli (or a shell that starts it, for bytes Qt cannot hold) in workingFolder
// with a settings store and a journal of its own in configFolder, never the user's.
inline bool startCli(QProcess& process, const QStringList& arguments, const QString& configFolder,
                     const QString& workingFolder = {},
                     const QString& program = QStringLiteral(TAVORIN_CLI_PATH)) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
    environment.insert(QStringLiteral("HOME"), configFolder);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), configFolder);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    return process.waitForStarted();
}

} // namespace tavorin::testing
