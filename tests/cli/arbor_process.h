#pragma once
// The arbor program run as a user runs it from a terminal, for the tests of its batch
// commands.

#include <QString>
#include <QStringList>

namespace arbor::test {

struct Outcome {
    int code = -1;
    QString out;
    QString err;
};

// Runs arbor with args in the folder home, with its user data and settings inside home and
// no display. Where the test has an application object its event loop turns meanwhile,
// so a server of the test can answer.
Outcome runArbor(const QString& home, const QStringList& args, int timeoutMs = 120000);

}  // namespace arbor::test
