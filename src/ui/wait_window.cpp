#include "ui/wait_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/ufky.h"

namespace arbor::ui {

WaitWindow::WaitWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::WindowStaysOnTopHint), label_(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    label_->setAlignment(Qt::AlignCenter);
    QFont f = label_->font();
    f.setPointSizeF(f.pointSizeF() * 1.2);
    label_->setFont(f);
    layout->addWidget(label_);
    setStyleSheet(QStringLiteral("background: #FFFDF6; border: 1px solid #B0A080;"));
}

void WaitWindow::showText(const QString& text) {
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

void WindowProgress::hideWait() {
    if (wait_ && wait_->isVisible()) {
        wait_->hide();
        QApplication::restoreOverrideCursor();
    }
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
