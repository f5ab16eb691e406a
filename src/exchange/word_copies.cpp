#include "exchange/word_copies.h"

#include <QDir>
#include <QTextDocument>

#include "app/program_state.h"
#include "app/progress.h"
#include "app/prompter.h"
#include "db/zsvr.h"
#include "editor/rich_text.h"
#include "exchange/docx.h"
#include "exchange/word_page_content.h"

namespace arbor::word {

namespace {

QString label(int page) {
    return QStringLiteral("文書No ") + QString::number(page);
}

}  // namespace

WordCopyOutcome writeCopies(const WordCopyJob& job) {
    WordCopyOutcome outcome;
    if (!QDir().mkpath(job.folder)) {
        outcome.ok = false;
        outcome.problems << job.folder + QStringLiteral(" を作成できません");
        return outcome;
    }
    LinkPolicy links;
    links.keepAll = !job.limitLinks;
    if (job.limitLinks) {
        links.inside = QSet<int>(job.pages.begin(), job.pages.end());
        links.keepOutsideWithoutAddress = true;
        links.keepTermAndObjectLinks = true;
        // Pages left behind are reached on the web site when the export names its address.
        if (!job.siteAddress.trimmed().isEmpty())
            links.outsideAddress = siteAddresses(job.siteAddress);
    }
    RichText page;
    const qint64 total = job.pages.size();
    for (qint64 i = 0; i < total; ++i) {
        if (job.cancellable && progress().cancelRequested()) {
            outcome.cancelled = true;
            break;
        }
        progress().step(i + 1, total);
        const int number = job.pages[i];
        QString error;
        const LoadResult loaded = loadStoredPage(number, page, error);
        if (loaded == LoadResult::Missing || loaded == LoadResult::NoDocument)
            continue;
        if (loaded == LoadResult::Damaged) {
            if (!job.textOfDamaged) {
                outcome.problems << label(number) +
                                        QStringLiteral(
                                            ": 文書が壊れているので書き出しませんでした (") +
                                        error + u')';
                continue;
            }
            outcome.problems << label(number) +
                                    QStringLiteral(
                                        ": 文書が壊れているので文字だけを書き出しました (") +
                                    error + u')';
            setPlainText(page, storedPlainText(number));
        }
        convertLinks(*page.body(), links);
        if (const int n = removeUnreadablePictures(*page.body()); n > 0)
            outcome.problems << label(number) + QStringLiteral(": 読めない画像 ") +
                                    QString::number(n) + QStringLiteral(" 個を省きました");
        const QString path = job.folder + wordCopyFileName(number);
        if (!docx::writeDocx(page.parts(), path, error)) {
            outcome.ok = false;
            outcome.problems << path + QStringLiteral(": ") + error;
            continue;
        }
        ++outcome.written;
    }
    page.clear();
    return outcome;
}

QString backupFolder() {
    return wordCopyFolder(G().UserPath, G().DbName);
}

BackupReport BackupToWord(bool ask) {
    BackupReport report;
    zSvr& db = zSvr::instance();
    if (!db.isOpen())
        return report;
    report.folder = backupFolder();
    if (ask && !prompter().confirm(QStringLiteral("全てのﾍﾟｰｼﾞをﾜｰﾄﾞ文書に保存します") + u'\n' +
                                   QStringLiteral(" (出力先:") + report.folder + u')'))
        return report;
    report.asked = true;
    progress().showWait(QStringLiteral("ﾜｰﾄﾞ文書にﾊﾞｯｸｱｯﾌﾟしています"));
    struct CloseWait {
        ~CloseWait() { progress().hideWait(); }
    } closeWait;
    ResultArray rows;
    if (!db.readRows(QStringLiteral(" Select noDoc From msDoc Where (Not obDoc is Null) Order By "
                                    "noDoc"),
                     rows)) {
        report.outcome.ok = false;
        report.outcome.problems << db.lastError();
        return report;
    }
    WordCopyJob job;
    job.folder = report.folder;
    job.cancellable = true;
    for (int r = 0; r < rows.rowCount(); ++r)
        job.pages << rows(0, r).toInt();
    report.outcome = writeCopies(job);
    return report;
}

QString backupMessage(const BackupReport& report) {
    const WordCopyOutcome& o = report.outcome;
    QString text;
    if (o.cancelled)
        text = QStringLiteral("ﾜｰﾄﾞ文書へのﾊﾞｯｸｱｯﾌﾟを中止しました (") + QString::number(o.written) +
               QStringLiteral(" 件書き出し済み)");
    else if (o.ok && o.problems.isEmpty())
        text = QStringLiteral("ﾜｰﾄﾞで一括ﾊﾞｯｸｱｯﾌﾟを完了しました");
    else
        text = QStringLiteral("ﾜｰﾄﾞで一括ﾊﾞｯｸｱｯﾌﾟを完了しました (") + QString::number(o.written) +
               QStringLiteral(" 件; 書き出せなかったものがあります)");
    for (const QString& p : o.problems.mid(0, 20))
        text += u'\n' + p;
    if (o.problems.size() > 20)
        text += QStringLiteral("\n… ほか ") + QString::number(o.problems.size() - 20) +
                QStringLiteral(" 件");
    return text;
}

void registerWordCopies() {
    setWordCopyWriter(writeCopies);
}

}  // namespace arbor::word
