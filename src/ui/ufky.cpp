#include "ui/ufky.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

namespace arbor::ui {

namespace {

// The status panel: a text longer than the panel ends in "…" (never cut off silently),
// and its tool tip holds the whole text.
class StatusPanel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        drawFrame(&painter);
        const QRect area = contentsRect().adjusted(4, 0, -4, 0);
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(area, Qt::AlignVCenter | Qt::AlignLeft,
                         fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
    }
};

}  // namespace

uFky::uFky(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    for (int i = 1; i <= 12; ++i) {
        auto* b = new QPushButton(this);
        b->setFocusPolicy(Qt::NoFocus);
        b->setMinimumWidth(64);
        b->setMaximumWidth(120);  // the rest of the bar goes to the status panel
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(b, &QPushButton::clicked, this,
                [this, i] { press(i, QApplication::keyboardModifiers() & Qt::ControlModifier); });
        buttons_ << b;
        layout->addWidget(b, 1);
        if (i % 4 == 0 && i < 12)
            layout->addSpacing(8);  // three groups of four
    }
    layout->addSpacing(8);
    panel_ = new StatusPanel(this);
    panel_->setMinimumWidth(160);
    panel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    panel_->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(panel_, 4);
    bar_ = new QProgressBar(this);
    bar_->setMaximumWidth(120);
    bar_->setTextVisible(false);
    bar_->hide();
    layout->addWidget(bar_);
    // Ctrl held anywhere in the program shows the other layer.
    qApp->installEventFilter(this);
    refresh();
}

void uFky::cOn(MenuHost* host) {
    keys_.cOn(host);
    refresh();
}

void uFky::cOff() {
    keys_.cOff();
    refresh();
}

void uFky::refresh() {
    for (int i = 0; i < buttons_.size(); ++i) {
        const FunctionKeys::Key k = keys_.key(keys_.layer() + QString::number(i + 1));
        QPushButton* b = buttons_[i];
        b->setText(k.caption.isEmpty() ? keys_.layer() + QString::number(i + 1) : k.caption);
        b->setToolTip(k.tip);
        b->setEnabled(!k.caption.isEmpty() && k.enabled);
    }
}

void uFky::SetEnbByMenu() {
    keys_.SetEnbByMenu();
    refresh();
}

bool uFky::press(int number, bool ctrl) {
    const bool ran = keys_.press(number, ctrl);
    refresh();
    return ran;
}

void uFky::setCtrlHeld(bool held) {
    if ((keys_.layer() == QLatin1String("C")) == held)
        return;
    keys_.setCtrlHeld(held);
    refresh();
}

void uFky::PanelTx(const QString& text, int kind) {
    panel_->setText(text);
    panel_->setToolTip(text);
    panel_->setStyleSheet(kind == 4 ? QStringLiteral("color: #C00000;") : QString());
}

QString uFky::panelText() const {
    return panel_->text();
}

void uFky::setProgress(qint64 done, qint64 total) {
    if (total <= 0 || done >= total) {
        bar_->hide();
        return;
    }
    bar_->setRange(0, 1000);
    bar_->setValue(static_cast<int>(1000 * done / total));
    bar_->show();
}

bool uFky::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Control)
            setCtrlHeld(event->type() == QEvent::KeyPress);
    } else if (event->type() == QEvent::ApplicationDeactivate) {
        setCtrlHeld(false);
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace arbor::ui
