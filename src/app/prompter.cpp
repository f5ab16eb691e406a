#include "app/prompter.h"

#include <QTextStream>
#include <cstdio>

namespace arbor {

namespace {
BatchPrompter& batchPrompter() {
    static BatchPrompter batch;
    return batch;
}
Prompter* gCurrent = nullptr;
}  // namespace

Answer BatchPrompter::ask(const QString& text, Buttons buttons, Severity) {
    QTextStream err(stderr);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    err << shown << Qt::endl;
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return agree_ ? Answer::Ok : Answer::Cancel;
        case Buttons::YesNo:
            return agree_ ? Answer::Yes : Answer::No;
        case Buttons::YesNoCancel:
            return agree_ ? Answer::Yes : Answer::Cancel;
    }
    return Answer::Cancel;
}

QString BatchPrompter::password(const QString&) {
    return qEnvironmentVariable("ARBOR_PASSWORD");
}

QString BatchPrompter::input(const QString&, const QString&, const QString& initial, bool& ok) {
    ok = agree_;
    return agree_ ? initial : QString();
}

QString BatchPrompter::chooseFile(const FileDialogRequest&) {
    return {};
}

Prompter& prompter() {
    return gCurrent ? *gCurrent : batchPrompter();
}

Prompter* setPrompter(Prompter* p) {
    Prompter* previous = gCurrent;
    gCurrent = p;
    return previous;
}

}  // namespace arbor
