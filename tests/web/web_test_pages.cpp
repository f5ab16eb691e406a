#include "web_test_pages.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include "editor/link_fields.h"
#include "editor/paragraph_styles.h"
#include "editor/pictures.h"
#include "editor/user_formats.h"
#include "support/gui_app.h"

namespace arbor::test {

QByteArray pngPicture(const QColor& color, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

PageBuilder::PageBuilder() {
    ensureGuiApp();
}

void PageBuilder::newParagraph() {
    if (!first_)
        cursor().insertBlock(QTextBlockFormat(), QTextCharFormat());
    first_ = false;
}

PageBuilder& PageBuilder::paragraph(int style, const QString& content) {
    newParagraph();
    cursor().insertText(content);
    applyParagraphStyle(cursor(), style, Frmt::instance());
    return *this;
}

PageBuilder& PageBuilder::text(const QString& content) {
    cursor().insertText(content);
    return *this;
}

PageBuilder& PageBuilder::field(const QString& label, const QString& data) {
    page_.insertField(label, data);
    return *this;
}

PageBuilder& PageBuilder::lineBreak() {
    cursor().insertText(QString(QChar::LineSeparator));
    return *this;
}

PageBuilder& PageBuilder::picture(const QByteArray& bytes) {
    QString error;
    page_.insertPicture(bytes, error);
    return *this;
}

PageBuilder& PageBuilder::box(const QColor& background, const QString& content) {
    paragraph(kBody, content);
    QTextBlockFormat f;
    f.setBackground(background);
    cursor().mergeBlockFormat(f);
    return *this;
}

PageBuilder& PageBuilder::list(const QStringList& items) {
    newParagraph();
    cursor().createList(QTextListFormat::ListDisc);
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            cursor().insertBlock();
        cursor().insertText(items[i]);
    }
    return *this;
}

PageBuilder& PageBuilder::table(int rows, int columns, bool mergeFirstRow) {
    newParagraph();
    QTextTable* t = page_.insertTable(rows, columns);
    if (mergeFirstRow && columns >= 3)
        t->mergeCells(0, 1, 1, 2);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (t->cellAt(r, c).row() == r && t->cellAt(r, c).column() == c)
                t->cellAt(r, c).firstCursorPosition().insertText(
                    QStringLiteral("%1,%2").arg(r).arg(c));
    cursor().movePosition(QTextCursor::End);
    return *this;
}

PageBuilder& PageBuilder::joinedTable(int rows, int columns) {
    QTextTable* t = page_.insertTable(rows, columns);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            t->cellAt(r, c).firstCursorPosition().insertText(
                QStringLiteral("j%1,%2").arg(r).arg(c));
    // The first row carries its own top border, which the join removes.
    page_.setCursor(t->cellAt(0, 0).firstCursorPosition());
    page_.setCellBorder(2, QColor(0x33, 0x33, 0x99));
    cursor().movePosition(QTextCursor::End);
    return *this;
}

std::unique_ptr<QTextDocument> PageBuilder::copy() const {
    std::unique_ptr<QTextDocument> document(page_.body()->clone());
    pictures::copyResources(*page_.body(), *document);
    return document;
}

void fillRepresentativePage(PageBuilder& b) {
    b.paragraph(kHeading1, QStringLiteral("見出し一の題"));
    b.paragraph(kBody, QStringLiteral("本文の段落。"))
        .text(QString(QChar(0x3000)) + QStringLiteral("全角空白の後") + QChar(0x2177) +
              QStringLiteral("記号"));
    b.paragraph(kHeading2, QStringLiteral("見出し二"));
    b.paragraph(kHeading3, QStringLiteral("見出し三"));
    b.paragraph(kEmphasis, QStringLiteral("強調の段落"));
    b.paragraph(kNote, QStringLiteral("補足の段落"));
    b.paragraph(kBody, QStringLiteral("参照 "))
        .field(QStringLiteral("第二章"), tagData(1012))
        .text(QStringLiteral("、用語 "))
        .field(QStringLiteral("ＨＴＭＬ"), termData(QStringLiteral("ＨＴＭＬ")))
        .text(QStringLiteral("、外部 "))
        .field(QStringLiteral("例"), QStringLiteral("https://example.com/?a=1&b=2"))
        .lineBreak()
        .text(QStringLiteral("改行の後"));
    b.box(QColor(0xFF, 0xEE, 0xCC), QStringLiteral("背景付きの囲み"));
    b.paragraph(kBody, QString())
        .field(QStringLiteral("[Iframe:地図]"),
               objectData(QStringLiteral("<iframe src='https://maps.example.com/?q=1&z=2' "
                                         "width=\"400\" height=\"300\"></iframe>")));
    b.paragraph(kBody, QString())
        .field(QStringLiteral("[Script:計数]"),
               objectData(QStringLiteral("<script src=\"count.js\"></script>")));
    b.list({QStringLiteral("項目一"), QStringLiteral("項目二")});
    b.table(3, 3);
    b.joinedTable(2, 3);
    b.paragraph(kBody, QString()).picture(pngPicture(Qt::red));
}

web::HtmlSiteSettings siteSettings(const QString& root) {
    web::HtmlSiteSettings site = web::defaultSiteSettings();
    site.siteRoot = QDir(root).absolutePath() + u'/';
    site.pubFolder = site.siteRoot + QStringLiteral("pub/");
    site.lnkFolder = site.siteRoot + QStringLiteral("lnk/");
    return site;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString readUtf8(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QString::fromUtf8(bytes);
}

bool wellFormed(const QString& path, bool& ran, QString& messages) {
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    ran = !xmllint.isEmpty();
    if (!ran)
        return true;
    QProcess lint;
    lint.start(xmllint, {QStringLiteral("--noout"), QStringLiteral("--nonet"), path});
    if (!lint.waitForFinished(30000)) {
        messages = QStringLiteral("xmllint did not finish");
        return false;
    }
    messages = QString::fromUtf8(lint.readAllStandardError());
    return lint.exitCode() == 0;
}

QString compareGolden(const QString& name, const QString& text) {
    const QString path =
        QStringLiteral(ARBOR_TEST_SPEC_DIR) + QStringLiteral("/web/golden/") + name;
    if (qEnvironmentVariable("ARBOR_UPDATE_GOLDEN") == u"1") {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(text.toUtf8());
        return QString();
    }
    const QString expected = readUtf8(path);
    if (expected.isEmpty())
        return QStringLiteral("golden file missing: ") + path;
    if (expected == text)
        return QString();
    const QStringList a = expected.split(QStringLiteral("\r\n"));
    const QStringList b = text.split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i)
        if (a.value(i) != b.value(i))
            return QStringLiteral("line %1\n expected: %2\n actual:   %3")
                .arg(i + 1)
                .arg(a.value(i), b.value(i));
    return QStringLiteral("differs");
}

}  // namespace arbor::test
