#include "cli/batch_commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "app/file_type.h"
#include "app/program_state.h"
#include "app/prompter.h"
#include "app/startup.h"
#include "app/yini.h"
#include "cli/epub_command.h"
#include "cli/html_export_command.h"
#include "cli/import_command.h"
#include "cli/links_command.h"
#include "cli/site_command.h"
#include "cli/site_settings_command.h"
#include "cli/word_command.h"
#include "db/data_link.h"
#include "db/pg_engine.h"
#include "db/schema.h"
#include "db/zsvr.h"
#include "editor/sample_collection.h"
#include "editor/user_formats.h"

namespace arbor::cli {

namespace {

QString schemaPath() {
    return G().ApDataPath + QStringLiteral("schema.sql");
}

// The start-up of the program without its window: what it prepares, reported.
int prepare(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    args.prepend(QCoreApplication::applicationFilePath());
    const StartupResult started = runStartup(processInputs(args), Ini());
    const ProgramState& g = G();
    out << "ユーザーデータフォルダ: " << g.UserPath << Qt::endl;
    out << "  Wrk, Site, Dbs を確認しました" << Qt::endl;
    out << "  設定ファイル: " << Ini().filePath()
        << (started.settingsRead ? "" : " (読めません: 既定値で動作します)") << Qt::endl;
    out << "プログラムデータ: " << g.ApDataPath << Qt::endl;

    bool created = false;
    QString error;
    if (ensureTemplateDb(g.UserPath, schemaPath(), defaultFormatsText(), created, error))
        out << "雛形データーベース: " << g.UserPath << "Dbs/Moto.txdb"
            << (created ? " (作成しました)" : "") << Qt::endl;
    else
        err << "雛形データーベースを作成できません: " << error << Qt::endl;

    int code = 0;
    if (!started.databasePath.isEmpty()) {
        bool ok = false;
        zSvr::instance().D_StDcDb(started.databasePath, ok);
        if (ok && ChkDocDb()) {
            const int pages =
                zSvr::instance().R_GtVaL(QStringLiteral("Select Count(*) From msDoc"), 0).toInt();
            out << "文書ﾃﾞｰﾀｰﾍﾞｰｽ: " << started.databasePath << " (" << pages << " ページ"
                << (zSvr::instance().readOnly() ? ", 読み込み専用" : "") << ")" << Qt::endl;
            if (started.pageNumber > 0)
                out << "開始ページ: " << started.pageNumber << Qt::endl;
        } else {
            err << "文書ﾃﾞｰﾀｰﾍﾞｰｽを開けません: " << started.databasePath << Qt::endl
                << "  " << zSvr::instance().lastError() << Qt::endl;
            code = 1;
        }
    }
    // The end of the program: the settings are written once.
    bool written = false;
    Ini().SetTxt(written);
    zSvr::instance().D_Close();
    if (!written) {
        err << "設定ファイルを書き込めません: " << Ini().filePath() << Qt::endl;
        code = 1;
    }
    return code;
}

// Prepares the program-wide state for a batch command without touching settings.
void prepareBatch() {
    G().RunMode = true;
    G().ExeName = exeNameFromPath(QCoreApplication::applicationFilePath());
    G().ProgramDir = QCoreApplication::applicationDirPath() + u'/';
    G().ApDataPath = apDataPathFor(G().ProgramDir);
}

int createSchema(const QString& udlPath, QTextStream& out, QTextStream& err) {
    DataLink link;
    QString error;
    if (!readDataLink(udlPath, link, error)) {
        err << error << Qt::endl;
        return 2;
    }
    bool refused = false;
    auto engine = PgEngine::open(link, error, refused);
    if (!engine && refused) {
        const QString password = prompter().password(QFileInfo(udlPath).fileName());
        if (!password.isEmpty()) {
            link.password = password;
            engine = PgEngine::open(link, error, refused);
        }
    }
    if (!engine) {
        err << error << Qt::endl;
        if (refused)
            err << "パスワードは環境変数 ARBOR_PASSWORD でも渡せます" << Qt::endl;
        return 1;
    }
    QString probe;
    auto existing = engine->query(
        QStringLiteral(
            "SELECT count(*) FROM information_schema.tables WHERE table_schema = current_schema() "
            "AND table_name IN ('msdoc','tbtree','tbhtm','kausr','msdic')"),
        {}, probe);
    QVector<QVariant> row;
    if (!existing || !existing->next(row)) {
        err << probe << Qt::endl;
        return 1;
    }
    if (row[0].toInt() > 0) {
        err << "ﾃﾞｰﾀｰﾍﾞｰｽ " << link.database
            << " には既に文書ﾃﾞｰﾀｰﾍﾞｰｽの表があります。何も変更していません" << Qt::endl;
        return 1;
    }
    const QStringList schema = readSchemaStatements(schemaPath(), error);
    if (schema.isEmpty() || !createDocumentSchema(*engine, schema, defaultFormatsText(), error)) {
        err << "表を作成できません: " << error << Qt::endl;
        return 1;
    }
    out << "ﾃﾞｰﾀｰﾍﾞｰｽ " << link.database << " (" << link.host
        << ") に文書ﾃﾞｰﾀｰﾍﾞｰｽの表を作成しました" << Qt::endl;
    return 0;
}

int newDatabase(const QString& path, QTextStream& out, QTextStream& err) {
    QString error;
    const QStringList schema = readSchemaStatements(schemaPath(), error);
    if (schema.isEmpty() || !createDocumentDbFile(path, schema, defaultFormatsText(), error)) {
        err << "作成できません: " << error << Qt::endl;
        return 1;
    }
    out << path << " を新規作成しました" << Qt::endl;
    return 0;
}

int sample(const QString& path, QTextStream& out, QTextStream& err) {
    QString error;
    if (!createSampleCollection(path, schemaPath(), error)) {
        err << "サンプルを作成できません: " << error << Qt::endl;
        return 1;
    }
    out << path << " にサンプルの文書ﾃﾞｰﾀｰﾍﾞｰｽを作成しました" << Qt::endl;
    return 0;
}

int check(const QString& path, QTextStream& out, QTextStream& err) {
    zSvr& db = zSvr::instance();
    bool ok = false;
    db.D_StDcDb(path, ok);
    if (!ok) {
        err << "開けません: " << path << Qt::endl << "  " << db.lastError() << Qt::endl;
        return 1;
    }
    if (!ChkDocDb())
        return 1;
    out << path << Qt::endl;
    out << "  種類: " << (G().IsJet ? "ファイル (SQLite)" : "サーバー (PostgreSQL)") << Qt::endl;
    out << "  名前: " << G().DbName << Qt::endl;
    out << "  ページ: " << db.R_GtVaL(QStringLiteral("Select Count(*) From msDoc"), 0).toInt()
        << Qt::endl;
    out << "  配置: " << db.R_GtVaL(QStringLiteral("Select Count(*) From tbTree"), 0).toInt()
        << Qt::endl;
    out << "  読み込み専用: " << (db.readOnly() ? "はい" : "いいえ") << Qt::endl;
    db.D_Close();
    return 0;
}

}  // namespace

bool needsGui(const QStringList& arguments) {
    // Pictures and fonts need a GUI application, even without a screen.
    const QString first = arguments.value(0);
    return first == QLatin1String("--sample") || first == QLatin1String("site") ||
           first == QLatin1String("import") || first == QLatin1String("word") ||
           first == QLatin1String("backup-word") || first == QLatin1String("check-links") ||
           first == QLatin1String("epub") || first == QLatin1String("html-export");
}

bool isSubcommand(const QString& word) {
    return word == QLatin1String("site") || word == QLatin1String("import") ||
           word == QLatin1String("word") || word == QLatin1String("backup-word") ||
           word == QLatin1String("check-links") || word == QLatin1String("site-settings") ||
           word == QLatin1String("epub") || word == QLatin1String("html-export");
}

QString helpText() {
    return QStringLiteral(
               "使い方: arbor [文書ﾃﾞｰﾀｰﾍﾞｰｽ] [ページ番号]\n"
               "  文書ﾃﾞｰﾀｰﾍﾞｰｽ (.txdb ファイル、またはサーバーを指す .udl ファイル) "
               "を開いて始めます。\n"
               "  パスに空白があるときは \"...\" で囲みます。\n"
               "  画面のない環境では --prepare を使います。\n"
               "\n"
               "バッチ コマンド:\n"
               "  --prepare [DB] [PAGE]       ユーザーデータフォルダと雛形を用意し、DB "
               "を確かめて終わります\n"
               "  --new-db FILE.txdb          空の文書ﾃﾞｰﾀｰﾍﾞｰｽ ファイルを作ります\n"
               "  --create-schema FILE.udl    .udl が指す PostgreSQL "
               "の空のﾃﾞｰﾀｰﾍﾞｰｽに表を作ります\n"
               "                              (パスワードが拒否されたら環境変数 ARBOR_PASSWORD "
               "を使います)\n"
               "  --check FILE                文書ﾃﾞｰﾀｰﾍﾞｰｽを開いて内容を表示します\n"
               "  --sample FILE.txdb          日本語のサンプル文書ﾃﾞｰﾀｰﾍﾞｰｽを作ります\n"
               "  --register-file-type        *.txdb をこのプログラムに関連付けます (MIME "
               "とデスクトップ "
               "エントリ)\n"
               "\n"
               "サブコマンド:\n") +
           siteHelp() + siteSettingsHelp() + importHelp() + wordHelp() + checkLinksHelp() +
           epubHelp() + htmlExportHelp() +
           QStringLiteral(
               "\n"
               "  --help                      この説明\n"
               "  --version                   版\n");
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const QString first = arguments.value(0);
    auto needs = [&](int n) {
        if (arguments.size() - 1 == n)
            return true;
        err << first << ": 引数の数が違います" << Qt::endl << Qt::endl << helpText();
        return false;
    };
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        out << helpText();
        return 0;
    }
    if (first == QLatin1String("--version")) {
        out << "Arbor " << QStringLiteral(ARBOR_VERSION) << Qt::endl;
        return 0;
    }
    if (first == QLatin1String("--prepare"))
        return prepare(arguments.mid(1), out, err);
    if (isSubcommand(first)) {
        prepareBatch();
        if (first == QLatin1String("import"))
            return importFolder(arguments.mid(1), out, err);
        if (first == QLatin1String("word"))
            return wordExport(arguments.mid(1), out, err);
        if (first == QLatin1String("backup-word"))
            return wordBackup(arguments.mid(1), out, err);
        if (first == QLatin1String("check-links"))
            return checkLinks(arguments.mid(1), out, err);
        if (first == QLatin1String("site-settings"))
            return siteSettings(arguments.mid(1), out, err);
        if (first == QLatin1String("epub"))
            return epub(arguments.mid(1), out, err);
        if (first == QLatin1String("html-export"))
            return htmlExport(arguments.mid(1), out, err);
        return site(arguments.mid(1), out, err);
    }
    if (first.startsWith(QLatin1String("--"))) {
        prepareBatch();
        if (first == QLatin1String("--create-schema"))
            return needs(1) ? createSchema(arguments[1], out, err) : 2;
        if (first == QLatin1String("--new-db"))
            return needs(1) ? newDatabase(arguments[1], out, err) : 2;
        if (first == QLatin1String("--check"))
            return needs(1) ? check(arguments[1], out, err) : 2;
        if (first == QLatin1String("--sample"))
            return needs(1) ? sample(arguments[1], out, err) : 2;
        if (first == QLatin1String("--register-file-type")) {
            if (!needs(0))
                return 2;
            return registerDocumentFileType(QCoreApplication::applicationFilePath()) ? 0 : 1;
        }
        err << "知らないオプションです: " << first << Qt::endl << Qt::endl << helpText();
        return 2;
    }
    return -1;  // the windowed program
}

}  // namespace arbor::cli
