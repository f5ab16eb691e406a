#include "word_test_pages.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTextCursor>
#include <QXmlStreamReader>

#include "db/zsvr.h"
#include "editor/link_fields.h"
#include "editor/page_records.h"
#include "editor/paragraph_styles.h"
#include "editor/rich_text.h"
#include "editor/user_formats.h"
#include "exchange_test_util.h"
#include "support/rich_text_samples.h"

namespace arbor::test {

void storePage(int number, const QString& title, const std::function<void(RichText&)>& fill) {
    RichText page;
    fill(page);
    PageContent content;
    content.title = title;
    content.plainText = page.plainText();
    for (const fields::Field& f : page.allFields())
        content.fieldData << f.data;
    content.bytes = page.saveBytes();
    const SaveReport report = SavePage(number, content);
    ASSERT_EQ(report.outcome, SaveOutcome::Saved) << number << report.error.toStdString();
}

void storeTitleOnly(int number, const QString& title) {
    QString sql =
        QStringLiteral("Insert Into msDoc (noDoc, szDoc, boUse, boCod) Values (?, '?', 1, 0)");
    zSvr::instance().T_CnvSq(sql, {number, title});
    ASSERT_TRUE(zSvr::instance().D_ExeSq(sql)) << zSvr::instance().lastError().toStdString();
}

void placePage(int parent, int child, int order, const QString& label, int link) {
    QString sql = QStringLiteral(
        "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, boHogo, boUse) "
        "Values (?, ?, ?, '?', ?, 0, 0, 1)");
    zSvr::instance().T_CnvSq(sql, {parent, child, order, label, link});
    ASSERT_TRUE(zSvr::instance().D_ExeSq(sql)) << zSvr::instance().lastError().toStdString();
}

void damagePage(int number) {
    ASSERT_TRUE(
        zSvr::instance().execBound(QStringLiteral("Update msDoc Set obDoc = ? Where noDoc = ?"),
                                   {QByteArray("ARBOR-not-a-document-at-all"), number}))
        << zSvr::instance().lastError().toStdString();
}

void addLink(RichText& page, const QString& before, const QString& label, const QString& data,
             const QString& after) {
    QTextCursor end = page.cursor();
    end.movePosition(QTextCursor::End);
    page.setCursor(end);
    page.insertText(before);
    page.insertField(label, data);
    end = page.cursor();
    end.movePosition(QTextCursor::End);
    page.setCursor(end);
    page.insertText(after);
}

namespace {

void paragraph(RichText& page, int style, const QString& text, bool first = false) {
    QTextCursor c = page.cursor();
    c.movePosition(QTextCursor::End);
    if (!first) {
        // A new paragraph does not take over a page break from the one before.
        QTextBlockFormat f = c.blockFormat();
        f.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
        c.insertBlock(f);
    }
    c.insertText(text);
    applyParagraphStyle(c, style, Frmt::instance());
    page.setCursor(c);
}

}  // namespace

void buildCollection() {
    storePage(1001, QStringLiteral("序章"), [](RichText& p) {
        paragraph(p, kBody, QStringLiteral("序章の本文です。"), true);
        paragraph(p, kBody, QString());
        addLink(p, QStringLiteral("続きは "), QStringLiteral("節Ｂへ"), tagData(1004),
                QStringLiteral(" にあります。"));
    });
    storePage(1002, QStringLiteral("第一章"), [](RichText& p) {
        paragraph(p, kBody, QStringLiteral("第一章の本文と図。"), true);
        QString error;
        ASSERT_TRUE(p.insertPicture(pngBytes(QColor(200, 40, 40), 40, 30), error))
            << error.toStdString();
    });
    storePage(1003, QStringLiteral("節Ａ"), [](RichText& p) {
        paragraph(p, kBody, QStringLiteral("節Ａの本文。"), true);
        paragraph(p, kBody, QString());
        addLink(p, QStringLiteral("次は "), QStringLiteral("節Ｂ"), tagData(1004));
        paragraph(p, kBody, QString());
        addLink(p, QStringLiteral("最初は "), QStringLiteral("序章"), tagData(1001));
        paragraph(p, kBody, QString());
        addLink(p, QStringLiteral("用語 "), QStringLiteral("ＨＴＭＬ"),
                termData(QStringLiteral("ＨＴＭＬ")));
        paragraph(p, kBody, QString());
        addLink(p, QStringLiteral("外部 "), QStringLiteral("例のサイト"),
                QStringLiteral("https://example.jp/"));
    });
    storePage(1004, QStringLiteral("節Ｂ"), [](RichText& p) {
        paragraph(p, kHeading2, QStringLiteral("節Ｂの見出し"), true);
        paragraph(p, kBody, QStringLiteral("節Ｂの一枚目。"));
        p.insertPageBreak();  // the next paragraph is the one that starts the sheet
        paragraph(p, kHeading3, QStringLiteral("節Ｂの二枚目の見出し"), true);
        paragraph(p, kBody, QStringLiteral("節Ｂの二枚目。"));
    });
    storePage(1006, QStringLiteral("小節"),
              [](RichText& p) { paragraph(p, kBody, QStringLiteral("小節の本文。"), true); });
    storeTitleOnly(1005, QStringLiteral("付録"));
    placePage(0, 1001, 0, QStringLiteral("序章"));
    placePage(0, 1002, 1, QStringLiteral("第一章"));
    placePage(1002, 1003, 0, QStringLiteral("節Ａ"));
    placePage(1002, 1004, 1, QStringLiteral("節Ｂ"));
    placePage(1004, 1006, 0, QStringLiteral("小節"));
    placePage(0, 1005, 2, QStringLiteral("付録"));
}

std::map<QString, QByteArray> docxParts(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return unzip(f.readAll());
}

QString wordText(const QByteArray& xml) {
    QString out;
    QXmlStreamReader r(xml);
    QStringList open;  // the elements around the current one
    while (!r.atEnd()) {
        const QXmlStreamReader::TokenType token = r.readNext();
        if (token == QXmlStreamReader::EndElement) {
            open.removeLast();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString name = r.name().toString();
        if (name == QLatin1String("t")) {
            out += r.readElementText();
            continue;  // readElementText consumed the end tag
        }
        if (name == QLatin1String("p"))
            out += u'\n';
        else if (name == QLatin1String("tab") && open.value(open.size() - 1) == QLatin1String("r"))
            out += u'\t';  // a tab character, not a tab stop
        open << name;
    }
    return out;
}

QStringList attributeValues(const QByteArray& xml, const QString& element,
                            const QString& attribute) {
    QStringList out;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        if (r.readNext() == QXmlStreamReader::StartElement && r.name() == element &&
            r.attributes().hasAttribute(QStringLiteral("w:") + attribute))
            out << r.attributes().value(QStringLiteral("w:") + attribute).toString();
    }
    return out;
}

}  // namespace arbor::test
