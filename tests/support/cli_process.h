#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace tavorin::testing {

// Starts tavorin-cli as a user would, in workingFolder, with a settings store of its own in
// configFolder, so a test never reads or writes the user's settings. A test that must pass
// bytes Qt cannot hold starts it through another program (a shell).
inline bool startCli(QProcess& process, const QStringList& arguments, const QString& configFolder,
                     const QString& workingFolder = {},
                     const QString& program = QStringLiteral(TAVORIN_CLI_PATH)) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
    environment.insert(QStringLiteral("HOME"), configFolder);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingFolder);
    process.start(program, arguments);
    return process.waitForStarted();
}

struct CliResult {
    int exitCode = -1; // -2 when it crashed or did not end
    QString out;
    QString err;
};

inline CliResult runCli(const QStringList& arguments, const QString& configFolder,
                        const QString& workingFolder = {},
                        const QString& program = QStringLiteral(TAVORIN_CLI_PATH)) {
    QProcess process;
    CliResult result;
    if (startCli(process, arguments, configFolder, workingFolder, program) &&
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
