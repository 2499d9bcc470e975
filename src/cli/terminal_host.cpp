#include "cli/terminal_host.h"

#include <QByteArray>
#include <QCoreApplication>

namespace tavorin {

namespace {

// Nothing of a run waits on the event loop here (Ctrl+C sets a flag), so pending events run a
// few times a second rather than before every file: each look at them costs system calls.
constexpr qint64 eventIntervalMs = 100;

} // namespace

TerminalHost::TerminalHost(std::FILE* logOutput, std::FILE* messageOutput, bool showProgress,
                           const std::atomic<bool>& abortFlag)
    : log(logOutput), messages(messageOutput), progressShown(showProgress), abort(abortFlag) {}

void TerminalHost::appendLog(const QString& text) {
    QByteArray bytes = text.toUtf8();
    bytes.replace("\r\n", "\n");
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), log);
    // A blank line ends each file's part of the Run Log: a reader of the pipe sees each file
    // as it is handled, and the log goes out in one write per file rather than one per line.
    if (bytes.endsWith("\n\n")) {
        std::fflush(log);
    }
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
    if (sinceEvents.isValid() && sinceEvents.elapsed() < eventIntervalMs) {
        return;
    }
    sinceEvents.start();
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

void TerminalHost::reportPassedOver(const QString& text) {
    finishProgress();
    const QByteArray line = QStringLiteral("tavorin-cli: ").toUtf8() + text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), messages);
    std::fflush(messages);
}

void TerminalHost::finishProgress() {
    std::fflush(log);
    if (progressLineOpen) {
        std::fputc('\n', messages);
        std::fflush(messages);
        progressLineOpen = false;
    }
}

} // namespace tavorin
