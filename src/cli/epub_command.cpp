#include "cli/epub_command.h"
#include "cli/batch_session.h"

#include <QFileInfo>

#include "app/program_state.h"
#include "app/progress.h"
#include "app/yini.h"
#include "db/zsvr.h"
#include "epub/book_settings.h"
#include "epub/yepub.h"

namespace arbor::cli {

namespace {

// The pages converted so far, on one line rewritten as they go by.
struct EpubOptions {
    QString database;
    int node = 0;
    bool site = false;
    QString output;
    QString title;
    QString identifier;
    bool timing = false;
};

bool parse(const QStringList& args, EpubOptions& o, QTextStream& err) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) { return takeValue(args, i, into, err); };
        QString v;
        if (a == QStringLiteral("--node")) {
            if (!value(v))
                return false;
            bool ok = false;
            o.node = v.toInt(&ok);
            if (!ok || o.node <= 0) {
                err << "ページ番号が不正です: " << v << Qt::endl;
                return false;
            }
        } else if (a == QStringLiteral("--site")) {
            o.site = true;
        } else if (a == QStringLiteral("-o") || a == QStringLiteral("--output")) {
            if (!value(o.output))
                return false;
        } else if (a == QStringLiteral("--title")) {
            if (!value(o.title))
                return false;
        } else if (a == QStringLiteral("--id")) {
            if (!value(o.identifier))
                return false;
        } else if (a == QStringLiteral("--timing")) {
            o.timing = true;
        } else if (a.startsWith(u'-') || !o.database.isEmpty()) {
            err << "知らない引数です: " << a << Qt::endl;
            return false;
        } else {
            o.database = a;
        }
    }
    if (o.site && o.node == 0) {
        err << "--site は --node と一緒に使います" << Qt::endl;
        return false;
    }
    if (o.database.isEmpty()) {
        err << "文書ﾃﾞｰﾀｰﾍﾞｰｽを指定して下さい" << Qt::endl << Qt::endl << epubHelp();
        return false;
    }
    return true;
}

}  // namespace

QString epubHelp() {
    return QStringLiteral(
        "  epub DB [--node N [--site]] [-o FILE] [--title T] [--id ID]\n"
        "                              DB を EPUB の本にします (既定は全てのﾍﾟｰｼﾞ、出力先は\n"
        "                              ePub/<名前>.epub)。--node N は文書No N 以下、--site は\n"
        "                              本にないﾍﾟｰｼﾞへのﾘﾝｸをｻｲﾄの設定で Web に向けます。\n"
        "                              ﾀｲﾄﾙとIDの既定は文書DBの設定です (IDが空なら生成して\n"
        "                              保存します)。失敗すると 1 で終わります\n");
}

int epub(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    EpubOptions options;
    if (!parse(arguments, options, err))
        return 2;
    BatchDatabase session(options.database, err);
    if (!session)
        return 1;
    LineProgress lines(err);
    session.showProgress(lines);

    yEpub::Request request;
    epub::loadBookSettings(request.settings);
    if (!options.title.isEmpty())
        request.settings.title = options.title;
    if (!options.identifier.isEmpty())
        request.settings.identifier = options.identifier;
    if (request.settings.title.trimmed().isEmpty()) {
        // Nobody to ask: the database's name stands in, as it does for the file name.
        request.settings.title = G().DbName;
        out << "タイトルが指定されていないので、文書ﾃﾞｰﾀｰﾍﾞｰｽ名を使います: " << G().DbName
            << Qt::endl;
    }
    if (request.settings.identifier.trimmed().isEmpty()) {
        // A book keeps one identifier from one output to the next.
        request.settings.identifier = epub::generateIdentifier();
        epub::BookSettings stored;
        epub::loadBookSettings(stored);
        stored.identifier = request.settings.identifier;
        QString error;
        if (!zSvr::instance().readOnly() && epub::saveBookSettings(stored, error))
            out << "IDが指定されていなかったので、生成しました: " << stored.identifier << Qt::endl;
    }
    request.range = options.node == 0 ? yEpub::WholeDatabase
                    : options.site    ? yEpub::SubtreeWithSite
                                      : yEpub::Subtree;
    request.currentPage = options.node;
    if (!options.output.isEmpty())
        request.outputPath = QFileInfo(options.output).absoluteFilePath();
    yEpub builder;
    const yEpub::Report report = builder.Publish(request);
    for (const QString& problem : report.problems)
        err << problem << Qt::endl;
    if (!report.ok) {
        err << report.message << Qt::endl;
        return 1;
    }
    out << summaryOf(report) << Qt::endl;
    if (options.timing)
        out << "ms: " << report.phases.join(QStringLiteral(", ")) << Qt::endl;
    return report.problems.isEmpty() ? 0 : 1;
}

}  // namespace arbor::cli
