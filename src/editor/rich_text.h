#pragma once
// The rich-text component every page lives in: the body, header and footer documents and
// the page setup, a cursor that carries the selection, and the operations the page editor
// and the output code rely on (selection, formatting, tables, pictures, page breaks,
// fields, the byte format, plain text). The view (a QTextEdit in ui/) shows body() and
// keeps its cursor in step with cursor().

#include <QColor>
#include <QObject>
#include <QTextCursor>
#include <cstdint>
#include <memory>
#include <optional>

#include "editor/document_model.h"
#include "editor/fields.h"

class QTextDocument;
class QTextTable;

namespace arbor {

// Windows colour values 0x00BBGGRR and QColor.
QColor colorFromBgr(int32_t value);
int32_t bgrFromColor(const QColor& color);

class RichText : public QObject {
    Q_OBJECT

  public:
    explicit RichText(QObject* parent = nullptr);
    ~RichText() override;
    RichText(const RichText&) = delete;
    RichText& operator=(const RichText&) = delete;

    QTextDocument* body() const { return body_.get(); }
    QTextDocument* header() const { return header_.get(); }
    QTextDocument* footer() const { return footer_.get(); }
    const doc::PageSetup& pageSetup() const { return page_; }
    void setPageSetup(const doc::PageSetup& page);
    // The documents and page setup, for readers and writers of files.
    doc::DocumentParts parts() const;
    // True when body, header and footer hold no text, table or picture.
    bool isEmpty() const;

    // --- selection (in the body)
    QTextCursor& cursor() { return cursor_; }
    const QTextCursor& cursor() const { return cursor_; }
    void setCursor(const QTextCursor& cursor);
    int selectionStart() const { return cursor_.selectionStart(); }
    int selectionLength() const { return cursor_.selectionEnd() - cursor_.selectionStart(); }
    QString selectedText() const;
    // Positions are clamped to the document.
    void setSelection(int start, int length);
    // Replaces the selection; line breaks in the text start paragraphs.
    void insertText(const QString& text);

    // --- formatting of the selection (or of what is typed next at the caret)
    QString fontName() const;
    void setFontName(const QString& family);
    double fontSize() const;  // points
    void setFontSize(double points);
    QColor foreground() const;
    void setForeground(const QColor& color);
    int32_t foreColor() const { return bgrFromColor(foreground()); }
    void setForeColor(int32_t bgr) { setForeground(colorFromBgr(bgr)); }
    QColor background() const;  // invalid: none
    void setBackground(const QColor& color);
    int32_t backColor() const { return bgrFromColor(background()); }
    void setBackColor(int32_t bgr) { setBackground(colorFromBgr(bgr)); }
    bool bold() const;
    void setBold(bool on);
    bool italic() const;
    void setItalic(bool on);
    bool underline() const;
    void setUnderline(bool on);

    // --- paragraphs of the selection; distances in twips
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment);
    int leftIndent() const;
    int rightIndent() const;
    int firstLineIndent() const;
    void setIndents(int left, int right, int firstLine);
    // Exact line height; 0 returns to single spacing.
    void setLineSpacing(int twips);
    int lineSpacing() const;
    // The user format's values and any other custom block property (document_model.h).
    QVariant paragraphProperty(int property) const;
    void setParagraphProperty(int property, const QVariant& value);  // invalid: remove
    void insertPageBreak();

    // --- tables (at the caret); new cells and the paragraph after a new table are body text
    QTextTable* insertTable(int rows, int columns);
    QTextTable* currentTable() const;
    bool insertRows(int count, bool below);
    bool insertColumns(int count, bool right);
    // Tab in a table: the caret goes to the next cell (backward: the previous one); from
    // the last cell a new row is added when mayAddRow. False outside a table.
    bool nextCell(bool backward, bool mayAddRow);
    bool removeRows();     // the rows of the selected cells
    bool removeColumns();  // the columns of the selected cells
    bool mergeCells();     // the selected cells into one
    bool splitCell();      // the merged cell at the caret back into single cells
    bool setCellBackground(const QColor& color);  // invalid: none
    bool setCellPadding(double points);
    bool setCellBorder(double width, const QColor& color);

    // --- pictures: PNG or JPEG, kept as given; anything else is refused with a message
    bool insertPicture(const QByteArray& bytes, QString& error);
    bool insertPictureFile(const QString& path, QString& error);

    // --- header and footer
    QString headerText() const;
    void setHeaderText(const QString& text);
    QString footerText() const;
    void setFooterText(const QString& text);

    // --- fields (link fields of the body)
    bool insertField(const QString& text, const QString& data);
    std::optional<fields::Field> currentField() const;
    // Updates the field the caret stands in; false when it stands in none.
    bool updateCurrentField(const QString& text, const QString& data);
    QList<fields::Field> allFields() const;
    std::optional<fields::Field> fieldAt(int position) const;
    bool setFieldData(int id, const QString& data);

    // --- content
    QByteArray saveBytes() const;           // format 9, the whole page
    QByteArray saveSelectionBytes() const;  // format 9, the selection only
    // Replaces the page; on failure nothing changes. The caret goes to the start.
    bool loadBytes(const QByteArray& data, QString& error);
    // Inserts at the selection as one undo step.
    bool insertBytes(const QByteArray& data, QString& error);
    QString plainText() const;
    QString selectionPlainText() const;
    void setText(const QString& text);
    // Empties the page (body, header and footer) and its undo history.
    void clear();

  signals:
    // Any change of body, header or footer made by editing (not by loading).
    void changed();
    // The page is about to be replaced as a whole (load, clear): a view lets go of it
    // until replaced() comes.
    void aboutToReplace();
    // The page was replaced as a whole (load, clear).
    void replaced();

  private:
    void mergeChar(const QTextCharFormat& format);
    void mergeBlock(const QTextBlockFormat& format);
    QTextCharFormat charFormat() const;
    void documentChanged();
    void beginReplace();
    void endReplace();

    std::unique_ptr<QTextDocument> body_;
    std::unique_ptr<QTextDocument> header_;
    std::unique_ptr<QTextDocument> footer_;
    doc::PageSetup page_;
    QTextCursor cursor_;
    bool replacing_ = false;
};

}  // namespace arbor
