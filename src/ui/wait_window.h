#pragma once
// The wait window of long work, and the progress interface of the windowed program:
// status texts to the function-key bar's panel, steps to its progress bar.

#include <QPointer>
#include <QWidget>

#include "app/progress.h"

class QLabel;

namespace arbor::ui {

class uFky;

class WaitWindow : public QWidget {
    Q_OBJECT
  public:
    explicit WaitWindow(QWidget* parent = nullptr);
    void showText(const QString& text);

  private:
    QLabel* label_;
};

class WindowProgress : public Progress {
  public:
    void setBar(uFky* bar) { bar_ = bar; }
    void status(const QString& text) override;
    void showWait(const QString& text) override;
    void hideWait() override;
    void step(qint64 done, qint64 total) override;

  private:
    QPointer<uFky> bar_;
    std::unique_ptr<WaitWindow> wait_;
};

}  // namespace arbor::ui
