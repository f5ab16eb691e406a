#include "ui/page_view.h"
#include "app/text_cut.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>

#include "editor/document_model.h"
#include "editor/editor_texts.h"
#include "editor/link_fields.h"
#include "editor/paragraph_styles.h"
#include "editor/pictures.h"
#include "editor/rich_text.h"
#include "editor/user_formats.h"
#include "exchange/page_files.h"

namespace arbor::ui {

const QString PageView::kPageMimeType = QStringLiteral("application/x-arbor-page");

namespace {

constexpr double kMetresPerInch = 0.0254;

QString linkDescription(const fields::Field& field) {
    const LinkTarget link = splitLinkData(field.data);
    QString what;
    switch (link.kind) {
        case LinkKind::Tag:
            what = QStringLiteral("ﾀｸﾞ: ﾍﾟｰｼﾞ ") + link.target;
            break;
        case LinkKind::Term:
            what = QStringLiteral("用語: ") + link.target;
            break;
        case LinkKind::Object:
            what = QStringLiteral("埋め込み: ") + leftCharacters(link.target, 120);
            break;
        case LinkKind::Hyperlink:
            what = QStringLiteral("ﾘﾝｸ: ") + link.target;
            break;
    }
    return what + u'\n' + edtext::kFollowHint;
}

QTextCharFormat linkMark(LinkKind kind) {
    QTextCharFormat f;
    switch (kind) {
        case LinkKind::Tag:
        case LinkKind::Hyperlink:
            f.setForeground(QColor(0x1A, 0x5F, 0xB4));
            f.setFontUnderline(true);
            break;
        case LinkKind::Term:
            f.setForeground(QColor(0x26, 0x77, 0x3A));
            f.setUnderlineStyle(QTextCharFormat::DashUnderline);
            break;
        case LinkKind::Object:
            f.setBackground(QColor(0xE8, 0xEC, 0xF4));
            f.setForeground(QColor(0x44, 0x44, 0x55));
            break;
    }
    return f;
}

bool isPictureFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("png") || suffix == QLatin1String("jpg") ||
           suffix == QLatin1String("jpeg");
}

bool isReadableDocument(const QString& path) {
    switch (pagefiles::kindOf(path)) {
        case pagefiles::FileKind::Text:
        case pagefiles::FileKind::Html:
        case pagefiles::FileKind::Docx:
        case pagefiles::FileKind::Rtf:
        case pagefiles::FileKind::Doc:
            return true;
        default:
            return false;
    }
}

}  // namespace

PageView::PageView(RichText& text, QWidget* parent)
    : QTextEdit(parent), text_(text), device_(1, 1, QImage::Format_RGB32) {
    setObjectName(QStringLiteral("mTxt"));
    setDocument(text.body());
    setAcceptRichText(true);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    connect(this, &QTextEdit::cursorPositionChanged, this, &PageView::schedulePush);
    connect(this, &QTextEdit::selectionChanged, this, &PageView::schedulePush);
    connect(text.body(), &QTextDocument::contentsChanged, this, &PageView::scheduleMarks);
    // While the page is rebuilt the view shows an empty stand-in: its caret and link
    // marks would otherwise follow every inserted paragraph, and the old caret, pushed to
    // the end, would have the whole page laid out at once.
    connect(&text, &RichText::aboutToReplace, this, [this] {
        setExtraSelections({});
        setDocument(&standIn_);
    });
    connect(&text, &RichText::replaced, this, [this] {
        setDocument(text_.body());
        attachLayout();
        pullCursor();
        markFields();
    });
    setZoom(100);
}

void PageView::attachLayout() {
    document()->documentLayout()->setPaintDevice(&device_);
    relayout();
}

void PageView::setZoom(int percent) {
    zoom_ = std::clamp(percent, 10, 1000);
    const double dpi = logicalDpiY() * zoom_ / 100.0;
    const int dotsPerMetre = static_cast<int>(dpi / kMetresPerInch + 0.5);
    device_.setDotsPerMeterX(dotsPerMetre);
    device_.setDotsPerMeterY(dotsPerMetre);
    attachLayout();
}

void PageView::setViewMode(int mode) {
    viewMode_ = mode == 1 ? 1 : 0;
    relayout();
}

void PageView::setControlCharsShown(bool shown) {
    // Drawn by the view itself (paintEvent): the layout's own marks take the size of the
    // next paragraph's font and widen the lines they end.
    marksShown_ = shown;
    viewport()->update();
}

double PageView::pixelsPerTwip() const {
    return device_.logicalDpiX() / 1440.0;
}

int PageView::textLeft() const {
    const double margin = document()->documentMargin() * device_.logicalDpiX() / 96.0;
    return static_cast<int>(margin) - horizontalScrollBar()->value();
}

int PageView::textTop() const {
    const double margin = document()->documentMargin() * device_.logicalDpiY() / 96.0;
    return static_cast<int>(margin) - verticalScrollBar()->value();
}

QRectF PageView::paragraphRect() const {
    const QRectF block = document()->documentLayout()->blockBoundingRect(textCursor().block());
    const double margin = document()->documentMargin() * device_.logicalDpiY() / 96.0;
    return block.translated(0, -margin);
}

int PageView::textWidth() const {
    if (viewMode_ == 1) {
        const doc::PageSetup& page = text_.pageSetup();
        return static_cast<int>((page.width - page.marginLeft - page.marginRight) *
                                pixelsPerTwip());
    }
    return std::max(0, viewport()->width() - 2 * (textLeft() + horizontalScrollBar()->value()));
}

void PageView::relayout() {
    if (viewMode_ == 1) {
        setLineWrapMode(QTextEdit::FixedPixelWidth);
        setLineWrapColumnOrWidth(textWidth() + 2 * (textLeft() + horizontalScrollBar()->value()));
    } else {
        setLineWrapMode(QTextEdit::WidgetWidth);
    }
    // A new default font lays the document out again without touching its content.
    document()->setDefaultFont(document()->defaultFont());
    emit geometryShifted();
}

void PageView::pushCursor() {
    text_.setCursor(textCursor());
}

void PageView::schedulePush() {
    if (pushPending_)
        return;
    pushPending_ = true;
    QTimer::singleShot(0, this, [this] {
        pushPending_ = false;
        pushCursor();
    });
}

void PageView::pullCursor() {
    setTextCursor(text_.cursor());
}

std::optional<fields::Field> PageView::fieldAtPoint(const QPoint& viewportPoint) const {
    const QPointF contents(viewportPoint.x() + horizontalScrollBar()->value(),
                           viewportPoint.y() + verticalScrollBar()->value());
    const int position = document()->documentLayout()->hitTest(contents, Qt::ExactHit);
    if (position < 0)
        return std::nullopt;
    // The hit is the caret position nearest the point: the character under the point is
    // the one after it or, past its middle, the one before.
    for (int p : {position, position - 1}) {
        if (p < 0)
            continue;
        const auto field = text_.fieldAt(p);
        if (!field)
            continue;
        QTextCursor c(document());
        c.setPosition(p);
        const QRect left = cursorRect(c);
        c.setPosition(p + 1);
        const QRect right = cursorRect(c);
        if (left.top() == right.top() && viewportPoint.x() >= std::min(left.left(), right.left()) &&
            viewportPoint.x() <= std::max(left.left(), right.left()))
            return field;
    }
    return std::nullopt;
}

// Only the fields on and around the screen are marked: marking a field has its part of the
// page laid out, and a long page would be laid out whole before it is shown.
void PageView::markFields() {
    const int height = viewport()->height();
    const int first = cursorForPosition(QPoint(0, -height)).position();
    const int last = cursorForPosition(QPoint(viewport()->width(), 2 * height)).position();
    QList<ExtraSelection> marks;
    for (const fields::Field& f : text_.allFields()) {
        if (f.end() < first)
            continue;
        if (f.start > last)
            break;
        ExtraSelection mark;
        mark.cursor = QTextCursor(document());
        mark.cursor.setPosition(f.start);
        mark.cursor.setPosition(f.end(), QTextCursor::KeepAnchor);
        mark.format = linkMark(splitLinkData(f.data).kind);
        marks << mark;
    }
    setExtraSelections(marks);
}

void PageView::scheduleMarks() {
    if (markPending_)
        return;
    markPending_ = true;
    QTimer::singleShot(0, this, [this] {
        markPending_ = false;
        markFields();
    });
}

// ------------------------------------------------------------------ keys

bool PageView::handleEnter(bool shift) {
    QTextCursor c = textCursor();
    const int mode = mode_ ? mode_() : 0;
    const Frmt& table = Frmt::instance();
    if (!shift) {
        if (pressEnter(c, table, table.UsrEntShift, mode) == EnterResult::LeftToComponent)
            return false;
    } else {
        // Shift gives the other break than Enter would.
        if (mode < 0 || insideField(c))
            return false;
        const QTextBlockFormat block = c.blockFormat();
        const int style =
            block.hasProperty(doc::StyleIndex) ? block.intProperty(doc::StyleIndex) : kBody;
        if (style <= kHeading3)
            c.insertText(QString(QChar::LineSeparator));
        else
            pressEnter(c, table, !table.UsrEntShift, mode);
    }
    setTextCursor(c);
    ensureCursorVisible();
    return true;
}

// A new paragraph copies the format of the one it was split from, "page break before"
// included: the break belongs to the first of the two only.
void PageView::dropInheritedPageBreak() {
    QTextCursor c = textCursor();
    const QTextBlock previous = c.block().previous();
    if (!previous.isValid() ||
        !(c.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) ||
        !(previous.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore))
        return;
    QTextBlockFormat f = c.blockFormat();
    f.setPageBreakPolicy(f.pageBreakPolicy() & ~QTextFormat::PageBreak_AlwaysBefore);
    c.joinPreviousEditBlock();
    c.setBlockFormat(f);
    c.endEditBlock();
}

void PageView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    updatePointer(viewport()->mapFromGlobal(QCursor::pos()), modifiers);
    if (event->matches(QKeySequence::ZoomIn) ||
        (modifiers == Qt::ControlModifier && event->key() == Qt::Key_Equal)) {
        emit zoomRequested(true);
        return event->accept();
    }
    if (event->matches(QKeySequence::ZoomOut)) {
        emit zoomRequested(false);
        return event->accept();
    }
    if (!isReadOnly()) {
        // Ctrl+Y redoes here too, not only where the desktop's redo key is Ctrl+Shift+Z.
        if (modifiers == Qt::ControlModifier && event->key() == Qt::Key_Y) {
            redo();
            return event->accept();
        }
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier)) {
            if (!handleEnter(modifiers == Qt::ShiftModifier))
                QTextEdit::keyPressEvent(event);
            dropInheritedPageBreak();
            return event->accept();
        }
        if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier &&
            textCursor().hasSelection()) {
            QTextCursor c = textCursor();
            deleteSelectionKeepingBreak(c);
            setTextCursor(c);
            return event->accept();
        }
    }
    if (handleTab(event->key(), modifiers))
        return event->accept();
    if (!isReadOnly() && !event->text().isEmpty() && event->text().at(0).isPrint())
        leaveFieldEdge();
    QTextEdit::keyPressEvent(event);
}

// Tab in a table goes to the next cell and Shift+Tab to the previous one; Tab in the last
// cell adds a row. Ctrl+Tab types a tab, in a table as anywhere else.
bool PageView::handleTab(int key, Qt::KeyboardModifiers modifiers) {
    const bool tab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
    if (!tab)
        return false;
    if (modifiers == Qt::ControlModifier && key == Qt::Key_Tab) {
        if (!isReadOnly())
            insertPlainText(QStringLiteral("\t"));
        return true;
    }
    const bool backward = key == Qt::Key_Backtab || modifiers == Qt::ShiftModifier;
    if ((modifiers & ~Qt::ShiftModifier) != Qt::NoModifier || !textCursor().currentTable())
        return false;
    pushCursor();
    const bool editable = !isReadOnly() && !(mode_ && mode_() < 0);
    text_.nextCell(backward, editable);
    pullCursor();
    ensureCursorVisible();
    return true;
}

// Typing at a field's edge continues the text around it, not the field.
void PageView::leaveFieldEdge() {
    QTextCursor c = textCursor();
    if (fields::leaveFieldEdge(c))
        setTextCursor(c);
}

void PageView::inputMethodEvent(QInputMethodEvent* event) {
    if (!isReadOnly() && (!event->commitString().isEmpty() || !event->preeditString().isEmpty()))
        leaveFieldEdge();
    QTextEdit::inputMethodEvent(event);
}

// Page breaks are invisible in a text that does not paginate: a dashed line marks them.
void PageView::paintEvent(QPaintEvent* event) {
    QTextEdit::paintEvent(event);
    const QPointF scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int height = viewport()->height();
    QPainter painter(viewport());
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
    const QAbstractTextDocumentLayout* layout = document()->documentLayout();
    for (QTextBlock b = cursorForPosition(QPoint(0, 0)).block(); b.isValid(); b = b.next()) {
        const QRectF box = layout->blockBoundingRect(b).translated(-scroll);
        if (box.top() > height)
            break;
        if (marksShown_)
            paintMarks(painter, b, box.topLeft());
        if (!(b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore))
            continue;
        const int y = static_cast<int>(box.top());
        painter.setPen(QPen(QColor(0x8A, 0x94, 0xA6), 1, Qt::DashLine));
        painter.setFont(small);
        painter.drawLine(0, y, viewport()->width(), y);
        painter.drawText(QRect(0, y - 16, viewport()->width() - 4, 15),
                         Qt::AlignRight | Qt::AlignBottom, QStringLiteral("改頁"));
    }
}

// A line mark after every line break, a paragraph mark after every paragraph, each sized to
// its own line.
void PageView::paintMarks(QPainter& painter, const QTextBlock& block, const QPointF& origin) {
    const QTextLayout* lines = block.layout();
    if (!lines || lines->lineCount() == 0)
        return;
    // A table's edges are blocks of their own (Qt's frame marks U+FDD0 and U+FDD1), not
    // paragraphs.
    const char16_t first = document()->characterAt(block.position()).unicode();
    if (first == 0xFDD0 || first == 0xFDD1)
        return;
    const QString text = block.text();
    painter.setPen(QColor(0x5B, 0x7D, 0xB1));
    // The paragraph's own text size (a picture makes a line tall, not its mark).
    const double points = block.charFormat().fontPointSize() > 0
                              ? block.charFormat().fontPointSize()
                              : document()->defaultFont().pointSizeF();
    QFont font = painter.font();
    font.setPixelSize(std::max(6, static_cast<int>(points * device_.logicalDpiY() / 72.0 * 0.8)));
    for (int i = 0; i < lines->lineCount(); ++i) {
        const QTextLine line = lines->lineAt(i);
        const int end = line.textStart() + line.textLength();
        const bool last = i == lines->lineCount() - 1;
        const bool lineBreak =
            end > 0 && end <= text.size() && text.at(end - 1) == QChar::LineSeparator;
        if (!last && !lineBreak)
            continue;
        painter.setFont(font);
        const QPointF at =
            origin + QPointF(line.x() + line.naturalTextWidth() + 2, line.y() + line.ascent());
        painter.drawText(at, lineBreak ? QStringLiteral("↵") : QStringLiteral("¶"));
    }
}

// ------------------------------------------------------------------ mouse

void PageView::updatePointer(const QPoint& viewportPoint, Qt::KeyboardModifiers modifiers) {
    const bool follow = (modifiers & Qt::ControlModifier) && fieldAtPoint(viewportPoint);
    viewport()->setCursor(follow ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

void PageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)) {
        if (const auto field = fieldAtPoint(event->position().toPoint())) {
            emit fieldClicked(*field);
            return event->accept();
        }
    }
    QTextEdit::mousePressEvent(event);
}

void PageView::mouseMoveEvent(QMouseEvent* event) {
    updatePointer(event->position().toPoint(), event->modifiers());
    QTextEdit::mouseMoveEvent(event);
}

void PageView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int delta = event->angleDelta().y();
        if (delta != 0)
            emit zoomRequested(delta > 0);
        return event->accept();
    }
    QTextEdit::wheelEvent(event);
}

bool PageView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const auto field = fieldAtPoint(viewport()->mapFrom(this, help->pos())))
            QToolTip::showText(help->globalPos(), linkDescription(*field), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QTextEdit::event(event);
}

void PageView::resizeEvent(QResizeEvent* event) {
    QTextEdit::resizeEvent(event);
    scheduleMarks();
    emit geometryShifted();
}

void PageView::scrollContentsBy(int dx, int dy) {
    QTextEdit::scrollContentsBy(dx, dy);
    if (dy != 0)
        scheduleMarks();
    emit geometryShifted();
}

// ------------------------------------------------------------------ clipboard and drops

bool PageView::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasFormat(kPageMimeType) || source->hasImage() || source->hasUrls() ||
           QTextEdit::canInsertFromMimeData(source);
}

bool PageView::insertLocalFiles(const QList<QUrl>& urls) {
    for (const QUrl& url : urls)
        if (!url.isLocalFile())
            return false;
    for (const QUrl& url : urls) {
        const QString path = url.toLocalFile();
        QString error;
        pushCursor();
        bool ok = false;
        if (isPictureFile(path))
            ok = text_.insertPictureFile(path, error);
        else if (isReadableDocument(path))
            ok = pagefiles::insertFile(text_, path, error);
        else
            error = QStringLiteral("この種類のﾌｧｲﾙは取り込めません: ") + path;
        pullCursor();
        if (!ok) {
            emit failed(error);
            break;
        }
    }
    return true;
}

void PageView::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly())
        return;
    // A paste keeps the style of the paragraph it lands in, unless it brings whole
    // paragraphs of its own.
    const LandingParagraph landing = landingParagraph(textCursor());
    pasteFromMimeData(source);
    QTextCursor c = textCursor();
    keepLandingStyle(c, landing, Frmt::instance());
    setTextCursor(c);
}

void PageView::pasteFromMimeData(const QMimeData* source) {
    QString error;
    bool ok = true;
    if (source->hasFormat(kPageMimeType)) {
        pushCursor();
        ok = text_.insertBytes(source->data(kPageMimeType), error);
    } else if (source->hasUrls() && insertLocalFiles(source->urls())) {
        return;
    } else if (source->hasImage() && !source->hasText()) {
        // The clipboard's own file bytes when it offers them, else the image as PNG.
        QByteArray bytes = source->data(QStringLiteral("image/png"));
        if (bytes.isEmpty())
            bytes = source->data(QStringLiteral("image/jpeg"));
        if (pictures::sniff(bytes) == pictures::Kind::None) {
            bytes.clear();
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            qvariant_cast<QImage>(source->imageData()).save(&buffer, "PNG");
        }
        pushCursor();
        ok = text_.insertPicture(bytes, error);
    } else {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    pullCursor();
    if (!ok)
        emit failed(error);
}

QMimeData* PageView::createMimeDataFromSelection() const {
    QMimeData* mime = QTextEdit::createMimeDataFromSelection();
    if (textCursor().hasSelection())
        mime->setData(kPageMimeType, text_.saveSelectionBytes());
    return mime;
}

}  // namespace arbor::ui
