#include "app/progress.h"

#include <QTextStream>
#include <cstdio>

namespace arbor {

namespace {
Progress* gProgress = nullptr;
TerminalProgress& terminalProgress() {
    static TerminalProgress terminal(true);
    return terminal;
}
}  // namespace

void TerminalProgress::status(const QString& text) {
    if (!quiet_)
        QTextStream(stderr) << text << Qt::endl;
}

void TerminalProgress::showWait(const QString& text) {
    status(text);
}

void TerminalProgress::step(qint64 done, qint64 total) {
    if (quiet_)
        return;
    QTextStream err(stderr);
    if (total > 0)
        err << '\r' << done << " / " << total << (done >= total ? "\n" : "");
    else
        err << '\r' << done;
    err.flush();
}

Progress& progress() {
    return gProgress ? *gProgress : terminalProgress();
}

Progress* setProgress(Progress* p) {
    Progress* previous = gProgress;
    gProgress = p;
    return previous;
}

}  // namespace arbor
