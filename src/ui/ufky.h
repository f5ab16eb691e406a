#pragma once
// The function-key bar: twelve keys in three groups of four, the plain layer and the
// layer shown while Ctrl is held, a status panel and a progress bar.

#include <QWidget>

#include "editor/function_keys.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace arbor::ui {

class uFky : public QWidget {
    Q_OBJECT

  public:
    explicit uFky(QWidget* parent = nullptr);

    FunctionKeys& keys() { return keys_; }
    // Attaches to the host's menus; the keys are bound afterwards with keys().cKey.
    void cOn(MenuHost* host);
    void cOff();
    // Shows the keys of the layer and their enabled state as the key map says.
    void refresh();
    void SetEnbByMenu();
    // A key pressed (number 1-12) with Ctrl held or not; true when a command ran.
    bool press(int number, bool ctrl);
    void setCtrlHeld(bool held);

    // The status panel; kind 4 marks a failure.
    void PanelTx(const QString& text, int kind = 0);
    QString panelText() const;
    void setProgress(qint64 done, qint64 total);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    FunctionKeys keys_;
    QList<QPushButton*> buttons_;
    QLabel* panel_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

}  // namespace arbor::ui
