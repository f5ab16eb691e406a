#include "editor/sample_collection.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTextTable>

#include "app/program_state.h"
#include "db/schema.h"
#include "db/zsvr.h"
#include "editor/link_fields.h"
#include "editor/page_records.h"
#include "editor/paragraph_styles.h"
#include "editor/rich_text.h"
#include "editor/user_formats.h"

namespace arbor {

namespace {

// Writes paragraphs in a style, one per text.
class PageWriter {
  public:
    PageWriter() : table_(Frmt::instance()) {}
    RichText& text() { return text_; }

    void paragraph(int style, const QString& content) {
        QTextCursor& c = text_.cursor();
        if (!first_ && !afterBreak_) {
            c.insertBlock();
            // The paragraph after a page break starts on that page, not on another one.
            QTextBlockFormat b = c.blockFormat();
            b.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
            c.setBlockFormat(b);
        }
        first_ = false;
        afterBreak_ = false;  // the paragraph after a break starts the new page
        c.insertText(content);
        applyParagraphStyle(c, style, table_);
    }
    // A paragraph in a style with a field inside: before + field + after.
    void withField(int style, const QString& before, const QString& label, const QString& data,
                   const QString& after) {
        paragraph(style, before);
        text_.insertField(label, data);
        text_.cursor().insertText(after);
        applyParagraphStyle(text_.cursor(), style, table_);
    }
    void table(const QList<QStringList>& rows) {
        paragraph(kBody, QString());
        QTextTable* t =
            text_.insertTable(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()));
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                t->cellAt(r, c).firstCursorPosition().insertText(rows[r][c]);
        // The heading row spans two columns on the right.
        t->mergeCells(0, 1, 1, 2);
        t->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("詳細"));
        QTextTableCellFormat head;
        head.setBackground(QColor(0xE8, 0xEE, 0xF4));
        for (int c = 0; c < t->columns(); ++c)
            t->cellAt(0, c).setFormat(head);
        text_.cursor().movePosition(QTextCursor::End);
        first_ = false;
    }
    void picture(const QByteArray& png) {
        paragraph(kBody, QString());
        QString error;
        text_.insertPicture(png, error);
    }
    void pageBreak() {
        text_.insertPageBreak();
        afterBreak_ = true;
    }

    PageContent content(const QString& title) {
        PageContent page;
        page.title = title;
        page.plainText = text_.plainText();
        for (const fields::Field& f : text_.allFields())
            page.fieldData << f.data;
        page.bytes = text_.saveBytes();
        return page;
    }

  private:
    RichText text_;
    const Frmt& table_;
    bool first_ = true;
    bool afterBreak_ = false;
};

QByteArray samplePicture() {
    QImage image(320, 180, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 320, 180);
    g.setColorAt(0, QColor(0x85, 0x5A, 0x50));
    g.setColorAt(1, QColor(0xF4, 0xE9, 0xD8));
    p.fillRect(image.rect(), g);
    p.setPen(QPen(QColor(255, 255, 255), 3));
    for (int i = 0; i < 5; ++i)
        p.drawLine(30 + i * 60, 150, 60 + i * 60, 60 - i * 6);
    p.setPen(Qt::white);
    QFont font;
    font.setPixelSize(36);
    font.setBold(true);
    p.setFont(font);
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Arbor"));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool store(int number, PageContent content, const QDateTime& saved, QString& error) {
    const SaveReport report = SavePage(number, content);
    if (report.outcome != SaveOutcome::Saved) {
        error = QStringLiteral("page %1: %2").arg(number).arg(report.error);
        return false;
    }
    QString sql = QStringLiteral("Update msDoc Set dyUdt=? Where noDoc=?");
    zSvr::instance().T_CnvSq(sql, {SqlDateLiteral(saved, G().IsJet), number});
    return zSvr::instance().D_ExeSq(sql);
}

bool place(int parent, int child, int order, const QString& label, int link, int hide,
           int protect) {
    QString sql = QStringLiteral(
        "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, boHogo, boUse, dyUdt) "
        "Values (?, ?, ?, '?', ?, ?, ?, 1, ?)");
    zSvr::instance().T_CnvSq(sql, {parent, child, order, label, link, hide, protect, SqlNow()});
    return zSvr::instance().D_ExeSq(sql);
}

}  // namespace

bool createSampleCollection(const QString& path, const QString& schemaPath, QString& error) {
    if (QFileInfo::exists(path)) {
        error = QStringLiteral("ﾌｧｲﾙが既にあります: ") + path;
        return false;
    }
    const QStringList schema = readSchemaStatements(schemaPath, error);
    if (schema.isEmpty() || !createDocumentDbFile(path, schema, defaultFormatsText(), error))
        return false;
    zSvr& db = zSvr::instance();
    bool ok = false;
    db.D_StDcDb(path, ok);
    if (!ok) {
        error = db.lastError();
        return false;
    }
    const QDateTime now = QDateTime::currentDateTime();
    bool done = true;
    db.D_Tran(0);

    {  // 1001: the top page
        PageWriter w;
        w.paragraph(kHeading1, QStringLiteral("Arbor へようこそ"));
        w.paragraph(
            kBody, QStringLiteral(
                       "このサンプルは、ツリーに並べたページで文書を書く Arbor の使い方を示します。"
                       "左のツリーでページを選ぶと、右の編集欄にそのページが開きます。"));
        w.paragraph(kHeading2, QStringLiteral("使い方のあらまし"));
        w.withField(kBody, QStringLiteral("最初に "), QStringLiteral("第1章 はじめての文書"),
                    tagData(1002), QStringLiteral(" を読んでください。ツリーの操作は "));
        w.text().insertField(QStringLiteral("第2章 ツリーの使い方"), tagData(1003));
        w.text().cursor().insertText(QStringLiteral(" にまとめてあります。"));
        w.withField(kBody, QStringLiteral("ページはそのまま "), QStringLiteral("ＨＴＭＬ"),
                    termData(QStringLiteral("ＨＴＭＬ")),
                    QStringLiteral(" のサイトや EPUB の本として出力できます。"));
        w.paragraph(kBody, QStringLiteral(
                               "下線の付いたリンクは、Ctrl キーを押しながらクリックすると"
                               "そのページやサイトが開きます（クリックだけなら文字を直せます）。"));
        w.paragraph(kEmphasis, QStringLiteral("ページを書き終えたら F8 キーで更新します。"));
        w.paragraph(kNote,
                    QStringLiteral(
                        "補足: 見出しは F2〜F4、本文は F5、強調は F6、補足は F7 で付けられます。"));
        w.withField(kBody, QStringLiteral("お知らせは "), QStringLiteral("お知らせ"), tagData(1004),
                    QStringLiteral(" のページに新しい順に並びます。"));
        w.withField(kBody, QStringLiteral("詳しくは "), QStringLiteral("https://example.jp/arbor/"),
                    QStringLiteral("https://example.jp/arbor/"),
                    QStringLiteral(" を見てください。"));
        done = done &&
               store(1001, w.content(QStringLiteral("Arborへようこそ")), now.addDays(-10), error);
    }
    {  // 1002: every style, a table, a picture, a page break, header and footer
        PageWriter w;
        w.paragraph(kHeading1, QStringLiteral("第1章 はじめての文書"));
        w.paragraph(
            kBody, QStringLiteral(
                       "文書はページの集まりです。ひとつのページは見出しと本文からできています。"));
        w.paragraph(kHeading2, QStringLiteral("1.1 段落のスタイル"));
        w.paragraph(kBody, QStringLiteral("段落には六つのスタイルがあります。見出１、見出２、見出３"
                                          "、本文、強調、補足です。"));
        w.paragraph(kHeading3, QStringLiteral("1.1.1 強調と補足"));
        w.paragraph(kEmphasis, QStringLiteral("大事なことは強調のスタイルで書きます。"));
        w.paragraph(kNote, QStringLiteral("補足のスタイルは注意書きや出典に向いています。"));
        w.paragraph(kHeading2, QStringLiteral("1.2 表と画像"));
        w.paragraph(kBody, QStringLiteral("表の見出し行は二つのセルをつないでいます。"));
        w.table(
            {{QStringLiteral("キー"), QString(), QString()},
             {QStringLiteral("F8"), QStringLiteral("更新"), QStringLiteral("ページを保存します")},
             {QStringLiteral("F9"), QStringLiteral("次Page"),
              QStringLiteral("次に新しいページを作ります")}});
        w.paragraph(kBody, QStringLiteral("画像は PNG のまま保存されます。"));
        w.picture(samplePicture());
        w.pageBreak();
        w.paragraph(kHeading2, QStringLiteral("1.3 次のページへ"));
        w.withField(kBody, QStringLiteral("続きは "), QStringLiteral("第2章"), tagData(1003),
                    QStringLiteral(" です。"));
        w.text().setHeaderText(QStringLiteral("Arbor サンプル"));
        w.text().setFooterText(QStringLiteral("第1章"));
        done = done && store(1002, w.content(QStringLiteral("第1章はじめての文書")),
                             now.addDays(-9), error);
    }
    {  // 1003: the tree, with an embedded frame
        PageWriter w;
        w.paragraph(kHeading1, QStringLiteral("第2章 ツリーの使い方"));
        w.paragraph(
            kBody,
            QStringLiteral("ひとつのページをツリーの何か所にも置けます。二つ目からはリンクになり、"
                           "どこに置いても同じ子ページが見えます。"));
        w.paragraph(kHeading2, QStringLiteral("2.1 非表示と保護"));
        w.paragraph(kBody,
                    QStringLiteral("「下書き」の枝は非表示なのでサイトには出力されません。"
                                   "「保護されたページ」はサイトの HTML が上書きされません。"));
        w.withField(kBody, QStringLiteral("はじめに戻るには "), QStringLiteral("Arbor へようこそ"),
                    tagData(1001), QStringLiteral("。"));
        w.withField(kBody, QString(),
                    QStringLiteral("[Iframe:<iframe src='https://example.jp/map'></iframe>]"),
                    objectData(QStringLiteral("<iframe src='https://example.jp/map'></iframe>")),
                    QString());
        done = done && store(1003, w.content(QStringLiteral("第2章ツリーの使い方")),
                             now.addDays(-8), error);
    }
    const struct {
        int number;
        QString title;
        QString text;
        int daysAgo;
    } simple[] = {
        {1004, QStringLiteral("お知らせ"),
         QStringLiteral("お知らせの一覧です。新しいものから順に並びます。"), 1},
        {1005, QStringLiteral("2026年12月のお知らせ"),
         QStringLiteral("年末の更新予定をお知らせします。"), 2},
        {1006, QStringLiteral("2026年11月のお知らせ"), QStringLiteral("サンプルを公開しました。"),
         30},
        {1007, QStringLiteral("下書き"), QStringLiteral("ここはまだ公開しないページの置き場です。"),
         5},
        {1008, QStringLiteral("未公開のメモ"), QStringLiteral("書きかけのメモです。"), 4},
        {1009, QStringLiteral("保護されたページ"),
         QStringLiteral("このページの HTML は出力で上書きされません。"), 6},
    };
    for (const auto& s : simple) {
        PageWriter w;
        w.paragraph(kHeading1, s.title);
        w.paragraph(kBody, s.text);
        done = done && store(s.number, w.content(s.title), now.addDays(-s.daysAgo), error);
    }
    done = done && db.D_ExeSq(QStringLiteral("Update msDoc Set boCod = 1 Where noDoc = 1004"));
    QString dic = QStringLiteral("Insert Into msDic (skDic, szDic) Values ('?', '?')");
    db.T_CnvSq(dic, {QStringLiteral("ＨＴＭＬ"), QStringLiteral("ウェブページを書くための言語")});
    done = done && db.D_ExeSq(dic);
    // Top level: welcome, the drafts (hidden); below: chapters, news (collecting), protected page.
    // Several top-level sections, so a published sample shows a real top menu.
    done = done && place(0, 1001, 0, QStringLiteral("Arborへようこそ"), 0, 0, 0) &&
           place(0, 1002, 1, QStringLiteral("第1章はじめての文書"), 0, 0, 0) &&
           place(0, 1003, 2, QStringLiteral("第2章ツリーの使い方"), 0, 0, 0) &&
           place(0, 1004, 3, QStringLiteral("お知らせ"), 0, 0, 0) &&
           place(0, 1007, 4, QStringLiteral("下書き"), 0, 1, 0) &&
           place(1003, 1009, 1, QStringLiteral("保護されたページ"), 0, 0, 1) &&
           place(1003, 1002, 0, QStringLiteral("第1章(リンク)"), 1, 0, 0) &&
           place(1004, 1005, 0, QStringLiteral("2026年12月のお知らせ"), 0, 0, 0) &&
           place(1004, 1006, 1, QStringLiteral("2026年11月のお知らせ"), 0, 0, 0) &&
           place(1007, 1008, 0, QStringLiteral("未公開のメモ"), 0, 0, 0);
    if (!done) {
        if (error.isEmpty())
            error = db.lastError();
        db.D_Tran(2);
        db.D_Close();
        QFile::remove(path);
        return false;
    }
    db.D_Tran(1);
    RebuildLinkFlags(true);
    db.D_Close();
    return true;
}

}  // namespace arbor
