#include "editor/page_records.h"

#include <QDateTime>
#include <QFileInfo>
#include <QVariant>

#include "app/program_state.h"
#include "app/prompter.h"
#include "app/text_cut.h"
#include "db/word_copy_hook.h"
#include "db/zsvr.h"
#include "editor/link_fields.h"

namespace arbor {

QString titleProposal(const QString& plainText) {
    qsizetype p = -1;
    for (qsizetype i = 0; i < plainText.size(); ++i) {
        const QChar c = plainText[i];
        if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator ||
            c == QChar::LineSeparator) {
            p = i;
            break;
        }
    }
    if (p < 0)
        return {};
    return leftCharacters(plainText.left(p), 50);
}

SaveReport SavePage(int number, const PageContent& content) {
    SaveReport report;
    if (number <= 0) {
        report.outcome = SaveOutcome::NoPage;
        return report;
    }
    zSvr& db = zSvr::instance();
    bool readOnly = false;
    db.DbRead(readOnly);
    if (readOnly) {
        report.outcome = SaveOutcome::ReadOnly;
        return report;
    }
    // A file deleted or moved away while open still takes writes, which would vanish with it.
    if (!db.isServer() && !QFileInfo::exists(db.dataSourceName())) {
        report.error =
            QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽのﾌｧｲﾙが見つかりません: ") + db.dataSourceName();
        return report;
    }
    QString title = cleanTitle(content.title);
    const QString proposal = cleanTitle(titleProposal(content.plainText));
    const QString tags = tagSet(content.fieldData);

    std::unique_ptr<Recordset> rs;
    bool ok = false;
    db.R_Rset(QStringLiteral("Select noDoc, szDoc, txDoc, obDoc, saTgs, dyUdt, wkRnd, boCod") +
                  QStringLiteral(" From msDoc Where noDoc = ") + QString::number(number),
              rs, ok, 1);
    if (!ok) {
        report.error = db.lastError();
        return report;
    }
    if (rs->eof()) {
        report.newPage = true;
        rs->addNew();
        rs->setValue(QStringLiteral("wkRnd"), NewWkRnd());
        rs->setValue(QStringLiteral("noDoc"), number);
        rs->setValue(QStringLiteral("boCod"), 0);
    } else {
        report.oldTitle = rs->value(QStringLiteral("szDoc")).toString();
        if (title.isEmpty())
            title = report.oldTitle;
    }
    if (title.isEmpty()) {
        bool given = false;
        title = cleanTitle(prompter().input(
            QStringLiteral("Title"), QStringLiteral("ﾀｲﾄﾙを入力して下さい"), proposal, given));
        if (!given || title.isEmpty()) {
            rs->cancelUpdate();
            rs->close();
            report.outcome = SaveOutcome::NoTitle;
            return report;
        }
    }
    rs->setValue(QStringLiteral("szDoc"), title);
    rs->setValue(QStringLiteral("txDoc"), content.plainText);
    rs->setValue(QStringLiteral("obDoc"), content.bytes);
    rs->setValue(QStringLiteral("saTgs"), tags);
    rs->setValue(QStringLiteral("dyUdt"), QDateTime::currentDateTime());
    if (!rs->update()) {
        report.error = rs->lastError();
        rs->close();
        return report;
    }
    rs->close();
    report.title = title;
    report.outcome = SaveOutcome::Saved;
    return report;
}

QString wordSideFilePath(int number) {
    return wordCopyFolder(G().UserPath, G().DbName) + wordCopyFileName(number);
}

StoredPage readPage(int number, bool wordSideFiles) {
    StoredPage page;
    zSvr& db = zSvr::instance();
    const QString no = QString::number(number);
    if (wordSideFiles) {
        const QFileInfo side(wordSideFilePath(number));
        ResultArray row;
        if (side.exists() &&
            db.readRows(QStringLiteral("Select szDoc, dyUdt From msDoc Where noDoc=") + no, row) &&
            row.rowCount() > 0) {
            const QDateTime saved = row(1, 0).toDateTime();
            if (!saved.isValid() || side.lastModified() > saved) {
                page.exists = true;
                page.title = row(0, 0).toString();
                page.wordFile = side.absoluteFilePath();
                return page;
            }
        }
    }
    ResultArray row;
    if (!db.readRows(QStringLiteral("Select obDoc, szDoc From msDoc Where noDoc = ") + no, row) ||
        row.rowCount() == 0)
        return page;
    page.exists = true;
    page.title = row(1, 0).toString();
    page.hasBytes = !row(0, 0).isNull();
    page.bytes = row(0, 0).toByteArray();
    return page;
}

QList<QPair<int, QString>> tagReferences(int number) {
    QList<QPair<int, QString>> pages;
    ResultArray rows;
    if (!zSvr::instance().readRows(
            QStringLiteral("Select noDoc, szDoc From msDoc Where saTgs like '%.") +
                QString::number(number) + QStringLiteral(".%'"),
            rows))
        return pages;
    for (int r = 0; r < rows.rowCount(); ++r)
        pages.push_back({rows(0, r).toInt(), rows(1, r).toString()});
    return pages;
}

}  // namespace arbor
