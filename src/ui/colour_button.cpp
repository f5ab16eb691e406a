#include "ui/colour_button.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

#include "editor/editor_colours.h"
#include "ui/editor_icons.h"

namespace arbor::ui {

namespace {

QIcon swatch(const QColor& colour) {
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(0x70, 0x70, 0x70));
    p.setBrush(colour);
    p.drawRect(0, 0, 13, 13);
    return QIcon(pixmap);
}

}  // namespace

ColourButton::ColourButton(Role role, QWidget* parent) : QToolButton(parent), role_(role) {
    setObjectName(role == Role::Text ? QStringLiteral("cmFcr") : QStringLiteral("cmBcr"));
    setPopupMode(QToolButton::MenuButtonPopup);
    setAutoRaise(true);
    auto* menu = new QMenu(this);
    for (const NamedColour& c : namedColours()) {
        QAction* a = menu->addAction(swatch(c.colour), c.name);
        a->setObjectName(c.code);
        a->setToolTip(role == Role::Text ? textColourTip(c.name) : backColourTip(c.name));
        const QString name = c.name;
        connect(a, &QAction::triggered, this, [this, name] {
            if (choose(name))
                emit applyColour(colour_, name_);
        });
    }
    setMenu(menu);
    connect(this, &QToolButton::clicked, this, [this] { emit applyColour(colour_, name_); });
    // A highlighter's yellow behind the text, red for the text itself.
    choose(role == Role::Text ? QStringLiteral("Red") : QStringLiteral("Yellow"));
}

bool ColourButton::choose(const QString& codeOrName) {
    const NamedColour* c = findNamedColour(codeOrName);
    if (!c)
        return false;
    showColour(c->name, c->colour);
    return true;
}

QAction* ColourButton::entry(const QString& name) const {
    for (QAction* a : menu()->actions())
        if (a->text() == name)
            return a;
    return nullptr;
}

void ColourButton::showColour(const QString& name, const QColor& colour) {
    name_ = name;
    colour_ = colour;
    setIcon(role_ == Role::Text ? icons::textColour(colour) : icons::backColour(colour));
    setToolTip(role_ == Role::Text ? textColourTip(name) : backColourTip(name));
}

}  // namespace arbor::ui
