#pragma once
// The wait window of long work, and the progress interface of the windowed program:
// status texts to the function-key bar's panel, steps to its progress bar.

#include <QPointer>
#include <QWidget>

#include "app/progress.h"

class QLabel;
class QPushButton;

namespace arbor::ui {

class uFky;

class WaitWindow : public QWidget {
    Q_OBJECT
  public:
    explicit WaitWindow(QWidget* parent = nullptr);
    void showText(const QString& text);
    // Work that can stop between its steps shows the stop button; the window then takes
    // the input of the whole program, so nothing else starts meanwhile.
    void offerCancel();
    bool cancelled() const { return cancelled_; }
    QPushButton* stopButton() const { return stop_; }

  private:
    QLabel* label_;
    QPushButton* stop_;
    bool cancelled_ = false;
};

class WindowProgress : public Progress {
  public:
    void setBar(uFky* bar) { bar_ = bar; }
    void status(const QString& text) override;
    void showWait(const QString& text) override;
    void hideWait() override;
    void step(qint64 done, qint64 total) override;
    bool cancelRequested() override;
    WaitWindow* waitWindow() const { return wait_.get(); }

  private:
    QPointer<uFky> bar_;
    std::unique_ptr<WaitWindow> wait_;
};

}  // namespace arbor::ui
