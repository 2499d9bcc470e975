#include "cli/terminal_host.h"

#include <QByteArray>
#include <QCoreApplication>

namespace tavorin {

TerminalHost::TerminalHost(std::FILE* logOutput, std::FILE* messageOutput, bool showProgress,
                           const std::atomic<bool>& abortFlag)
    : log(logOutput), messages(messageOutput), progressShown(showProgress), abort(abortFlag) {}

void TerminalHost::appendLog(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray bytes = lines.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), log);
    // Line by line, so a reader of the pipe sees each file as it is handled.
    std::fflush(log);
}

void TerminalHost::setProgress(int value, int maximum) {
    if (!progressShown) {
        return;
    }
    const int current = value < maximum ? value + 1 : maximum;
    std::fprintf(messages, "\r%d / %d", current, maximum);
    std::fflush(messages);
    progressLineOpen = true;
}

void TerminalHost::processEvents() {
    QCoreApplication::processEvents();
}

bool TerminalHost::abortRequested() {
    return abort.load();
}

void TerminalHost::showStatus(const QString& text) {
    if (!progressShown) {
        return;
    }
    finishProgress();
    std::fprintf(messages, "%s\n", text.toUtf8().constData());
    std::fflush(messages);
}

void TerminalHost::finishProgress() {
    if (progressLineOpen) {
        std::fputc('\n', messages);
        std::fflush(messages);
        progressLineOpen = false;
    }
}

} // namespace tavorin
