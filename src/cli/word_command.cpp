#include "cli/word_command.h"
#include "cli/batch_session.h"

#include <QDir>

#include "app/program_state.h"
#include "app/progress.h"
#include "app/yini.h"
#include "db/zsvr.h"
#include "editor/page_settings.h"
#include "exchange/word_copies.h"
#include "exchange/word_export.h"

namespace arbor::cli {

namespace {

// The count of pages done, on one line rewritten as they go by.
struct WordOptions {
    QString database;
    word::ExportRequest request;
    bool below = false;
};

bool parseWord(const QStringList& args, WordOptions& o, QTextStream& err) {
    static const QStringList kinds = {QStringLiteral("text"), QStringLiteral("headed"),
                                      QStringLiteral("outline"), QStringLiteral("nopictures")};
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) { return takeValue(args, i, into, err); };
        QString v;
        if (a == QLatin1String("--node")) {
            if (!value(v))
                return false;
            bool ok = false;
            o.request.currentPage = v.toInt(&ok);
            if (!ok || o.request.currentPage <= 0) {
                err << "ページ番号が不正です: " << v << Qt::endl;
                return false;
            }
            o.request.range = word::Range::CurrentNode;
        } else if (a == QLatin1String("--below")) {
            o.below = true;
        } else if (a == QLatin1String("--kind")) {
            if (!value(v))
                return false;
            const qsizetype k = kinds.indexOf(v.toLower());
            if (k < 0) {
                err << "--kind は headed, outline, nopictures, text のどれかです: " << v
                    << Qt::endl;
                return false;
            }
            o.request.kind = static_cast<word::Kind>(k);
        } else if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            if (!value(o.request.path))
                return false;
        } else if (a.startsWith(u'-') || !o.database.isEmpty()) {
            err << "知らない引数です: " << a << Qt::endl;
            return false;
        } else {
            o.database = a;
        }
    }
    if (o.below) {
        if (o.request.range != word::Range::CurrentNode) {
            err << "--below は --node と一緒に使います" << Qt::endl;
            return false;
        }
        o.request.range = word::Range::CurrentNodeAndBelow;
    }
    if (o.database.isEmpty()) {
        err << "文書ﾃﾞｰﾀｰﾍﾞｰｽを指定して下さい" << Qt::endl;
        return false;
    }
    return true;
}

}  // namespace

QString wordHelp() {
    return QStringLiteral(
        "  word DB [--node N [--below]] [--kind headed|outline|nopictures|text] [-o FILE]\n"
        "                              DB のﾍﾟｰｼﾞをひとつのﾜｰﾄﾞ文書 (.docx) かﾃｷｽﾄに出力します。\n"
        "                              既定は全てのﾍﾟｰｼﾞ、headed (ﾍｯﾀﾞ付き)、DB名.docx。\n"
        "                              --node N はﾍﾟｰｼﾞ N とその子、--below で N 以降全て。\n"
        "                              outline は目次付きｱｳﾄﾗｲﾝ、nopictures は画像なし。\n"
        "                              読めないﾍﾟｰｼﾞがあると 1 で終わります\n"
        "  backup-word DB              DB の全てのﾍﾟｰｼﾞを 1 ﾍﾟｰｼﾞ 1 ﾌｧｲﾙのﾜｰﾄﾞ文書にして\n"
        "                              ﾕｰｻﾞｰﾃﾞｰﾀﾌｫﾙﾀﾞの Dbs/DB名_doc/ に書き出します。\n"
        "                              書き出せないﾍﾟｰｼﾞがあると 1 で終わります\n");
}

int wordExport(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    WordOptions options;
    if (!parseWord(arguments, options, err))
        return 2;
    BatchDatabase session(options.database, err);
    if (!session)
        return 1;
    LineProgress lines(err);
    session.showProgress(lines);
    word::ExportRequest& request = options.request;
    if (request.currentPage > 0) {
        // The node stands at its home placement (or its first link when it has none).
        ResultArray rows;
        zSvr::instance().readRows(QStringLiteral("Select noLfP From tbTree Where noLfC=") +
                                      QString::number(request.currentPage) +
                                      QStringLiteral(" Order By boLnk, noLfP"),
                                  rows);
        if (rows.rowCount() == 0) {
            err << "ﾍﾟｰｼﾞ " << request.currentPage << " はﾂﾘｰにありません" << Qt::endl;
            return 1;
        }
        request.currentParent = rows(0, 0).toInt();
    }
    if (request.path.isEmpty())
        request.path = QDir::current().filePath(G().DbName + (request.kind == word::Kind::Text
                                                                  ? QStringLiteral(".txt")
                                                                  : QStringLiteral(".docx")));
    request.path = QDir::current().absoluteFilePath(request.path);
    request.page = readPageSettings(Ini());
    const word::ExportReport report = word::ExportToWord(request);
    for (const QString& line : report.failures)
        err << line << Qt::endl;
    for (const QString& line : report.warnings)
        err << "警告: " << line << Qt::endl;
    if (!report.written) {
        err << word::summaryOf(report) << Qt::endl;
        return 1;
    }
    out << word::summaryOf(report) << Qt::endl;
    return report.failures.isEmpty() ? 0 : 1;
}

int wordBackup(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.size() != 1 || arguments[0].startsWith(u'-')) {
        err << "文書ﾃﾞｰﾀｰﾍﾞｰｽをひとつ指定して下さい" << Qt::endl << Qt::endl << wordHelp();
        return 2;
    }
    BatchDatabase session(arguments[0], err);
    if (!session)
        return 1;
    LineProgress lines(err);
    session.showProgress(lines);
    const word::BackupReport report = word::BackupToWord(false);
    const WordCopyOutcome& o = report.outcome;
    for (const QString& line : o.problems)
        err << line << Qt::endl;
    if (!o.ok || !o.problems.isEmpty()) {
        err << report.folder << " に " << o.written
            << " 件書き出しました。書き出せなかったものがあります" << Qt::endl;
        return 1;
    }
    out << report.folder << " に " << o.written << " 件のﾜｰﾄﾞ文書を書き出しました" << Qt::endl;
    out << "ﾜｰﾄﾞで一括ﾊﾞｯｸｱｯﾌﾟを完了しました" << Qt::endl;
    return 0;
}

}  // namespace arbor::cli
