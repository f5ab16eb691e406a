#pragma once
// A colour button of the format frame (cmFcr for the text, cmBcr for the background):
// a click applies the colour shown on it, the arrow offers the ten named colours; a
// choice becomes the button's colour (its image imFcr / imBcr) and tool tip, and is
// applied at once.

#include <QColor>
#include <QToolButton>

namespace arbor::ui {

class ColourButton : public QToolButton {
    Q_OBJECT

  public:
    enum class Role { Text, Background };
    ColourButton(Role role, QWidget* parent = nullptr);

    Role role() const { return role_; }
    QString colourName() const { return name_; }
    QColor colour() const { return colour_; }
    // Chooses a named colour (code or name); false for an unknown one.
    bool choose(const QString& codeOrName);
    // The menu entry of a named colour, as a person would pick it.
    QAction* entry(const QString& name) const;

  signals:
    // The colour is to be applied to the selection.
    void applyColour(const QColor& colour, const QString& name);

  private:
    void showColour(const QString& name, const QColor& colour);

    Role role_;
    QString name_;
    QColor colour_;
};

}  // namespace arbor::ui
