#include "ui/wait_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/ufky.h"

namespace arbor::ui {

WaitWindow::WaitWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::WindowStaysOnTopHint),
      label_(new QLabel(this)),
      stop_(new QPushButton(QStringLiteral("中止"), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    label_->setAlignment(Qt::AlignCenter);
    QFont f = label_->font();
    f.setPointSizeF(f.pointSizeF() * 1.2);
    label_->setFont(f);
    layout->addWidget(label_);
    layout->addWidget(stop_, 0, Qt::AlignCenter);
    stop_->hide();
    connect(stop_, &QPushButton::clicked, this, [this] {
        cancelled_ = true;
        stop_->setEnabled(false);
        label_->setText(label_->text() + QStringLiteral("\n中止しています…"));
    });
    setStyleSheet(QStringLiteral("background: #FFFDF6; border: 1px solid #B0A080;"));
}

void WaitWindow::offerCancel() {
    if (stop_->isVisible())
        return;
    const bool shown = isVisible();
    hide();
    setWindowModality(Qt::ApplicationModal);
    stop_->show();
    adjustSize();
    if (shown)
        show();
}

void WaitWindow::showText(const QString& text) {
    cancelled_ = false;
    stop_->setEnabled(true);
    label_->setText(text);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    QCoreApplication::processEvents();
}

void WindowProgress::status(const QString& text) {
    if (bar_)
        bar_->PanelTx(text);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void WindowProgress::showWait(const QString& text) {
    if (!wait_)
        wait_ = std::make_unique<WaitWindow>();
    wait_->showText(text);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

bool WindowProgress::cancelRequested() {
    if (!wait_ || !wait_->isVisible())
        return false;
    wait_->offerCancel();
    // The click on the stop button is an input event: let it through (the wait window is
    // modal, so nothing else can be clicked).
    QCoreApplication::processEvents();
    return wait_->cancelled();
}

void WindowProgress::hideWait() {
    if (wait_ && wait_->isVisible())
        QApplication::restoreOverrideCursor();
    wait_.reset();  // the next wait starts without the stop button
    if (bar_)
        bar_->setProgress(0, 0);
}

void WindowProgress::step(qint64 done, qint64 total) {
    if (bar_)
        bar_->setProgress(done, total);
    // Let the window repaint between steps, but not more often than needed.
    static QElapsedTimer last;
    if (!last.isValid() || last.elapsed() > 50) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        last.restart();
    }
}

}  // namespace arbor::ui
