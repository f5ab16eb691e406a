#pragma once
// What every batch subcommand that works on a collection shares: the start-up, opening
// and checking the database, progress lines on the terminal, and closing it all again
// however the command ends.

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "app/progress.h"

namespace arbor::cli {

// Progress on the terminal's error stream: each new wait text on a line of its own, and
// the count of pages on one line that is rewritten as they go by.
class LineProgress : public Progress {
  public:
    struct Style {
        QString unit = QStringLiteral("ﾍﾟｰｼﾞ");
        QString unknownTotalUnit = QStringLiteral("件");  // when the total is not known yet
        bool statusLines = true;                          // status texts get a line too
        int every = 1;                                    // write every n-th step and the last
    };
    explicit LineProgress(QTextStream& err) : LineProgress(err, Style{}) {}
    LineProgress(QTextStream& err, Style style) : err_(err), style_(std::move(style)) {}
    void status(const QString& text) override;
    void showWait(const QString& text) override;
    void hideWait() override {}
    void step(qint64 done, qint64 total) override;

  private:
    QTextStream& err_;
    Style style_;
    QString lastWait_;
};

// The value after the option args[i]: into gets it and i moves on to it; without one, says
// so on err and is false.
bool takeValue(const QStringList& args, int& i, QString& into, QTextStream& err);

class BatchDatabase {
  public:
    // Runs the start-up and opens the database at path; when it cannot be opened or is no
    // page collection, says why on err and is false.
    BatchDatabase(const QString& path, QTextStream& err);
    ~BatchDatabase();
    BatchDatabase(const BatchDatabase&) = delete;
    BatchDatabase& operator=(const BatchDatabase&) = delete;

    explicit operator bool() const { return open_; }
    // Long work reports to progress until this session ends (progress must outlive the
    // work, not the session).
    void showProgress(Progress& progress);

  private:
    bool open_ = false;
    bool progressSet_ = false;
    Progress* previous_ = nullptr;
};

}  // namespace arbor::cli
