#pragma once
// Dialogs for the text: indentation of a paragraph, font with size and colour, and the
// page's header and footer.

#include <QColor>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace arbor::ui {

class IndentDialog : public QDialog {
    Q_OBJECT

  public:
    // Indents in twips.
    IndentDialog(int left, int right, int firstLine, QWidget* parent = nullptr);
    int left() const;
    int right() const;
    int firstLine() const;
    QDoubleSpinBox* leftBox() const { return left_; }
    QDoubleSpinBox* firstLineBox() const { return first_; }

  private:
    QDoubleSpinBox* left_;
    QDoubleSpinBox* right_;
    QDoubleSpinBox* first_;
};

class FontDialog : public QDialog {
    Q_OBJECT

  public:
    struct Choice {
        QString family;
        double size = 10;
        bool bold = false, italic = false, underline = false;
        QColor colour = Qt::black;
    };
    FontDialog(const Choice& current, QWidget* parent = nullptr);
    Choice choice() const;
    void setColour(const QColor& colour);

  private:
    void preview();

    QFontComboBox* family_;
    QComboBox* size_;
    QCheckBox* bold_;
    QCheckBox* italic_;
    QCheckBox* underline_;
    QPushButton* colourButton_;
    QLabel* sample_;
    QColor colour_;
};

class HeaderFooterDialog : public QDialog {
    Q_OBJECT

  public:
    HeaderFooterDialog(const QString& header, const QString& footer, QWidget* parent = nullptr);
    QString header() const;
    QString footer() const;
    QPlainTextEdit* headerEdit() const { return header_; }
    QPlainTextEdit* footerEdit() const { return footer_; }

  private:
    QPlainTextEdit* header_;
    QPlainTextEdit* footer_;
};

}  // namespace arbor::ui
