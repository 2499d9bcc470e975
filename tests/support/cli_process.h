#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace tavorin::testing {

// Starts tavorin-cli as a user would, in workingFolder, with a settings store of its own in
// configFolder, so a test never reads or writes the user's settings.
inline bool startCli(QProcess& process, const QStringList& arguments, const QString& configFolder,
                     const QString& workingFolder = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
    environment.insert(QStringLiteral("HOME"), configFolder);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder);
    process.start(QStringLiteral(TAVORIN_CLI_PATH), arguments);
    return process.waitForStarted();
}

struct CliResult {
    int exitCode = -1; // -2 when it crashed or did not end
    QString out;
    QString err;
};

inline CliResult runCli(const QStringList& arguments, const QString& configFolder,
                        const QString& workingFolder = {}) {
    QProcess process;
    CliResult result;
    if (startCli(process, arguments, configFolder, workingFolder) &&
        process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit) {
        result.exitCode = process.exitCode();
    } else {
        result.exitCode = -2;
    }
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace tavorin::testing
