#pragma once
// Status texts, the wait window and progress of long work go through a Progress.

#include <QString>

namespace arbor {

class Progress {
  public:
    virtual ~Progress() = default;
    // A status text (the function-key bar's panel in the window).
    virtual void status(const QString& text) = 0;
    // The wait window with its text; hideWait closes it.
    virtual void showWait(const QString& text) = 0;
    virtual void hideWait() = 0;
    // Progress of a long step; total 0 means unknown.
    virtual void step(qint64 done, qint64 total) = 0;
    // True when the user asked to stop the long work (work that can stop between its
    // steps asks here).
    virtual bool cancelRequested() { return false; }
};

// Writes status lines to standard error; silent when quiet.
class TerminalProgress : public Progress {
  public:
    explicit TerminalProgress(bool quiet = false) : quiet_(quiet) {}
    void status(const QString& text) override;
    void showWait(const QString& text) override;
    void hideWait() override {}
    void step(qint64 done, qint64 total) override;

  private:
    bool quiet_;
};

Progress& progress();
Progress* setProgress(Progress* p);  // not owned; nullptr restores the terminal one

}  // namespace arbor
