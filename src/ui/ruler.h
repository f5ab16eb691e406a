#pragma once
// The rulers beside the text, in centimetres, following the zoom and the scrolling.
// vRuler (horizontal, over the text): from the text's left edge, the page's margins
// shaded on either side of the text width, and the left and first-line indents of the
// paragraph at the caret. vRulerV (vertical, left of the text): from the top of the text,
// the top margin shaded above it, and the extent of the paragraph at the caret.

#include <QWidget>

namespace arbor::ui {

class Ruler : public QWidget {
    Q_OBJECT

  public:
    explicit Ruler(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

    struct Geometry {
        int textLeft = 0;  // x of the text's left edge in the ruler
        double pixelsPerTwip = 96.0 / 1440;
        int marginLeft = 1134;  // twips
        int textWidth = 10539;  // twips the page's text is wide
        int marginRight = 567;
        int indentLeft = 0;  // twips, the caret's paragraph
        int indentFirst = 0;
        // The vertical ruler.
        int textTop = 0;  // y of the top of the text in the ruler (scrolled)
        int marginTop = 1134;
        double paragraphTop = 0;  // the caret's paragraph, pixels below the top of the text
        double paragraphBottom = 0;
    };
    void setMeasures(const Geometry& geometry);
    const Geometry& measures() const { return g_; }
    Qt::Orientation orientation() const { return orientation_; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void paintHorizontal(QPainter& p);
    void paintVertical(QPainter& p);

    Qt::Orientation orientation_;
    Geometry g_;
};

}  // namespace arbor::ui
