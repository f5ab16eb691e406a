#pragma once
// The horizontal ruler vRuler over the text: centimetres from the text's left edge, the
// page's margins shaded on either side of the text width, and the left and first-line
// indents of the paragraph at the caret.

#include <QWidget>

namespace arbor::ui {

class Ruler : public QWidget {
    Q_OBJECT

  public:
    explicit Ruler(QWidget* parent = nullptr);

    struct Geometry {
        int textLeft = 0;  // x of the text's left edge in the ruler
        double pixelsPerTwip = 96.0 / 1440;
        int marginLeft = 1134;  // twips
        int textWidth = 10539;  // twips the page's text is wide
        int marginRight = 567;
        int indentLeft = 0;  // twips, the caret's paragraph
        int indentFirst = 0;
    };
    void setMeasures(const Geometry& geometry);
    const Geometry& measures() const { return g_; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Geometry g_;
};

}  // namespace arbor::ui
