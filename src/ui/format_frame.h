#pragma once
// The format bars above the text: the format frame frFmt (the paragraph style chooser and
// the two colour buttons) and the button bar vButton (font, size, bold, italic,
// underline, alignment). They show the format at the caret and report the user's
// choices; the editor applies them.

#include <QWidget>

class QComboBox;
class QFontComboBox;
class QToolButton;

namespace arbor::ui {

class ColourButton;

class FormatFrame : public QWidget {
    Q_OBJECT

  public:
    explicit FormatFrame(QWidget* parent = nullptr);

    QComboBox* styleChooser() const { return style_; }
    ColourButton* textColour() const { return fore_; }
    ColourButton* backColour() const { return back_; }
    // -1 shows no style (a paragraph without one, or a selection over several).
    void showStyle(int index);

  signals:
    void styleChosen(int index);

  private:
    QComboBox* style_;
    ColourButton* fore_;
    ColourButton* back_;
};

class ButtonBar : public QWidget {
    Q_OBJECT

  public:
    explicit ButtonBar(QWidget* parent = nullptr);

    struct State {
        QString family;
        double size = 0;
        bool bold = false, italic = false, underline = false;
        Qt::Alignment alignment = Qt::AlignLeft;
    };
    void showState(const State& state);

    QToolButton* boldButton() const { return bold_; }
    QToolButton* italicButton() const { return italic_; }
    QToolButton* underlineButton() const { return underline_; }

  signals:
    void familyChosen(const QString& family);
    void sizeChosen(double points);
    void boldChosen(bool on);
    void italicChosen(bool on);
    void underlineChosen(bool on);
    void alignmentChosen(Qt::Alignment alignment);

  private:
    QFontComboBox* family_;
    QComboBox* size_;
    QToolButton* bold_;
    QToolButton* italic_;
    QToolButton* underline_;
    QToolButton* left_;
    QToolButton* centre_;
    QToolButton* right_;
};

}  // namespace arbor::ui
