#include "collection_generator.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QSet>
#include <QVector>

#include "db/zsvr.h"

namespace arbor::bench {

namespace {

const QString kWord = QStringLiteral("ひまわり");
const QString kFiller = QStringLiteral(
    "文書の本文です。段落が続き、見出しと表と図が入ります。This page explains the tree. ");

struct Writer {
    zSvr& db = zSvr::instance();
    int pending = 0;
    QString error;

    bool exec(const QString& sql, const QVariantList& values) {
        if (!db.execBound(sql, values)) {
            error = db.lastError();
            return false;
        }
        // Commit in batches: one transaction per row would measure the disk, not us.
        if (++pending % 20000 == 0) {
            db.D_Tran(1);
            db.D_Tran(0);
        }
        return true;
    }
};

QString pageText(int no, const CollectionShape& shape, bool withWord) {
    QString text = QStringLiteral("ページ %1。").arg(no);
    while (text.size() < shape.textChars)
        text += kFiller;
    text.truncate(shape.textChars);
    if (withWord)
        text.insert(text.size() / 2, kWord);
    return text;
}

}  // namespace

bool generateCollection(const CollectionShape& shape, CollectionFacts& facts, QString& error) {
    Writer w;
    QRandomGenerator random(20240305);
    QByteArray rich(shape.richBytes, '\0');
    for (char& c : rich)
        c = static_cast<char>(random.bounded(256));
    const QString insertPage = QStringLiteral(
        "Insert Into msDoc (noDoc, szDoc, txDoc, obDoc, boCod, boUse, saTgs, dyUdt, wkRnd) "
        "Values (?, ?, ?, ?, 0, 1, '.', ?, ?)");
    const QString insertPlacement = QStringLiteral(
        "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, boHogo, boUse, dyUdt) "
        "Values (?, ?, ?, ?, ?, 0, 0, 1, ?)");
    const QDateTime base(QDate(2024, 1, 1), QTime(9, 0));
    int next = 1001;
    facts = {};
    facts.firstPage = next;
    facts.searchWord = kWord;

    auto addPage = [&](const QString& title) -> int {
        const int no = next++;
        const bool word = (no - facts.firstPage) % shape.wordEvery == 0;
        facts.wordPages += word ? 1 : 0;
        ++facts.pages;
        if (!w.exec(insertPage, {no, title, pageText(no, shape, word), rich, base.addSecs(no * 60),
                                 static_cast<double>(no) * 4096.0}))
            return 0;
        return no;
    };
    auto place = [&](int parent, int child, int order, const QString& label, bool link) {
        ++facts.placements;
        return w.exec(insertPlacement,
                      {parent, child, order, label, link ? 1 : 0, base.addSecs(child * 60)});
    };

    w.db.D_Tran(0);
    // Level by level, so the numbers of one level are contiguous.
    QVector<int> level{0};
    QVector<QString> names{QString()};
    QVector<int> previousLevel;
    for (int d = 1; d <= shape.depth; ++d) {
        QVector<int> pages;
        QVector<QString> pageNames;
        const int perParent = d == 1 ? shape.topPages : shape.fanOut;
        for (int p = 0; p < level.size(); ++p) {
            for (int k = 0; k < perParent; ++k) {
                const QString name =
                    (d == 1 ? QStringLiteral("章") : names[p] + u'-') + QString::number(k + 1);
                const int no = addPage(name);
                if (!no || !place(level[p], no, k, name, false)) {
                    error = w.error;
                    w.db.D_Tran(2);
                    return false;
                }
                pages << no;
                pageNames << name;
            }
        }
        if (d == shape.depth) {
            facts.deepPage = pages.last();
            facts.deepParent = level.last();
        }
        previousLevel = level;
        level = pages;
        names = pageNames;
        if (d == shape.depth - 1) {
            // Some pages of this level also stand below another top-level chapter.
            QSet<qint64> linked;
            for (int i = 0; i < shape.crossLinks && i < pages.size(); ++i) {
                const int at = static_cast<int>(random.bounded(pages.size()));
                const int top = facts.firstPage + static_cast<int>(random.bounded(shape.topPages));
                const qint64 pair = static_cast<qint64>(top) << 32 | pages[at];
                if (linked.contains(pair) || previousLevel[at / perParent] == top)
                    continue;  // never the same pair twice
                linked.insert(pair);
                if (!place(top, pages[at], 1000 + i, pageNames[at] + QStringLiteral("(ﾘﾝｸ)"),
                           true)) {
                    error = w.error;
                    w.db.D_Tran(2);
                    return false;
                }
            }
        }
    }
    // A top-level page with very many children (links), for renumbering.
    const int wide = addPage(QStringLiteral("一覧"));
    if (!wide || !place(0, wide, shape.topPages, QStringLiteral("一覧"), false)) {
        error = w.error;
        w.db.D_Tran(2);
        return false;
    }
    facts.widePage = wide;
    for (int i = 0; i < shape.wideChildren; ++i) {
        const int page = facts.firstPage + shape.topPages + i;  // second-level pages onwards
        if (!place(wide, page, i, QStringLiteral("一覧の項目 %1").arg(i + 1), true)) {
            error = w.error;
            w.db.D_Tran(2);
            return false;
        }
    }
    w.db.D_Tran(1);
    return true;
}

}  // namespace arbor::bench
