#pragma once
// The text of the page: a QTextEdit over the rich-text component's body. It keeps the
// component's cursor in step with its own, applies the editor's Enter and Delete rules,
// reports a Ctrl+click on a link field, zooms by laying the text out for a device of a
// higher resolution (so every size, margin and picture scales), marks link fields, and
// takes pictures and files from the clipboard and from drops.

#include <QImage>
#include <QTextDocument>
#include <QTextEdit>
#include <functional>

#include "editor/fields.h"

class QPainter;
class QTextBlock;

namespace arbor {
class RichText;
}

namespace arbor::ui {

class PageView : public QTextEdit {
    Q_OBJECT

  public:
    // The MIME type of a selection in the byte format, so fields and pictures survive a
    // copy inside the program.
    static const QString kPageMimeType;

    PageView(RichText& text, QWidget* parent = nullptr);

    // The editor's mode (negative: no document), asked at each Enter.
    void setModeSource(std::function<int()> mode) { mode_ = std::move(mode); }

    int zoom() const { return zoom_; }
    void setZoom(int percent);
    // 0: the text wraps at the window; 1: it is laid out at the page's text width.
    void setViewMode(int mode);
    int viewMode() const { return viewMode_; }
    void setControlCharsShown(bool shown);
    // Pixels per twip at the present zoom.
    double pixelsPerTwip() const;
    // The x of the text's left edge in the viewport, and the width the text wraps at.
    int textLeft() const;
    int textWidth() const;
    // The y of the top of the text in the viewport (scrolled), and the caret's paragraph,
    // in pixels below the top of the text.
    int textTop() const;
    QRectF paragraphRect() const;

    // The field under a viewport point (nothing over plain text or empty space).
    std::optional<fields::Field> fieldAtPoint(const QPoint& viewportPoint) const;

    // Hands the view's caret and selection to the component, and back. The view's own
    // caret moves reach the component from the event loop: a cursor must not be replaced
    // while its document is being cleared (Qt would keep the freed one).
    void pushCursor();
    void pullCursor();

    // The page's layout is ours again (after the document was set or replaced).
    void attachLayout();

  signals:
    // A Ctrl+click on a link field.
    void fieldClicked(const arbor::fields::Field& field);
    void zoomRequested(bool up);
    // A file or picture could not be taken in.
    void failed(const QString& message);
    // The text area moved or changed size (scrolling, resizing, zoom): rulers follow.
    void geometryShifted();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void paintMarks(QPainter& painter, const QTextBlock& block, const QPointF& origin);
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

  private:
    bool handleEnter(bool shift);
    bool handleTab(int key, Qt::KeyboardModifiers modifiers);
    void leaveFieldEdge();
    void pasteFromMimeData(const QMimeData* source);
    void dropInheritedPageBreak();
    bool insertLocalFiles(const QList<QUrl>& urls);
    void markFields();
    void scheduleMarks();
    void relayout();
    void schedulePush();
    void updatePointer(const QPoint& viewportPoint, Qt::KeyboardModifiers modifiers);

    RichText& text_;
    std::function<int()> mode_;
    QTextDocument standIn_;  // shown while the page is replaced
    QImage device_;          // the zoomed resolution the layout measures with
    int zoom_ = 100;
    int viewMode_ = 0;
    bool marksShown_ = false;
    bool markPending_ = false;
    bool pushPending_ = false;
};

}  // namespace arbor::ui
