#include "db/database_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <filesystem>

#include "app/file_io.h"
#include "app/program_state.h"
#include "app/progress.h"
#include "app/prompter.h"
#include "app/shell_ops.h"
#include "db/db_messages.h"
#include "db/schema.h"
#include "db/sqlite_engine.h"
#include "db/word_copy_hook.h"
#include "db/zsvr.h"

namespace arbor {

namespace {

const QString kFilterAll = QStringLiteral(
    "文書ﾃﾞｰﾀｰﾍﾞｰｽ(*.txdb)|*.txdb|ｱｸｾｽﾃﾞｰﾀｰﾍﾞｰｽ (*.mdb)|*.mdb|ﾃﾞ-ﾀﾘﾝｸ (*.udl)|*.udl|");
const QString kFilterFiles =
    QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽ(*.txdb)|*.txdb|ｱｸｾｽﾃﾞｰﾀｰﾍﾞｰｽ (*.mdb)|*.mdb|");

// "caption|pattern|caption|pattern|" as the dialog's filter lines "caption (pattern)".
QStringList filterLines(const QString& filter) {
    const QStringList parts = filter.split(u'|', Qt::SkipEmptyParts);
    QStringList lines;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        lines << parts[i] + QStringLiteral(" (") + patterns + u')';
    }
    return lines;
}

bool overwriteQuestion(const QString& path) {
    return prompter().confirm(path + QStringLiteral("\nに空のﾃﾞｰﾀｰﾍﾞｰｽを上書きしますが\n") +
                              QStringLiteral("             よろしいですか ?"));
}

}  // namespace

QString compactionWorkFile(const QString& path) {
    const int slash = path.lastIndexOf(u'/');
    const int dot = path.lastIndexOf(u'.');
    if (dot <= slash)
        return path + QStringLiteral("$$$");
    return path.left(dot) + QStringLiteral("$$$") + path.mid(dot);
}

DatabaseFiles::DatabaseFiles(DatabaseHost& host) : host_(host) {}

QString DatabaseFiles::templatePath() const {
    return G().UserPath + QStringLiteral("Dbs/Moto.txdb");
}

QString DatabaseFiles::ShowDbDialog(const QString& title, int mode, const QString& defaultPath) {
    FileDialogRequest request;
    request.title = title;
    request.mode = mode == 1 ? FileDialogRequest::Mode::Save : FileDialogRequest::Mode::Open;
    request.filters = filterLines(mode == 0 ? kFilterAll : kFilterFiles);
    request.filterIndex = 0;
    QString folder;
    if (defaultPath.contains(u'.')) {
        const int slash = defaultPath.lastIndexOf(u'/');
        folder = defaultPath.left(slash + 1);
        request.fileName = defaultPath.mid(slash + 1);
    } else if (!defaultPath.isEmpty()) {
        folder = defaultPath;
    } else {
        folder = lastFolder_.isEmpty() ? G().UserPath + QStringLiteral("Dbs/") : lastFolder_;
    }
    if (QFileInfo(folder).isDir())
        request.folder = folder;
    const QString chosen = prompter().chooseFile(request);
    if (!chosen.isEmpty())
        lastFolder_ = QFileInfo(chosen).absolutePath() + u'/';
    return chosen;
}

bool DatabaseFiles::OpenDocDb(const QString& requested) {
    QString path = requested.trimmed();
    if (path.isEmpty()) {
        path = ShowDbDialog(QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽを開く"), 0, QString());
        if (path.isEmpty())
            return false;
    }
    if (!QFileInfo(path).isFile())
        return false;
    if (QFileInfo(path) == QFileInfo(templatePath()) &&
        !prompter().confirm(path + QStringLiteral("は新規ﾃﾞｰﾀｰﾍﾞｰｽの雛形です\n\n") +
                            QStringLiteral("既定値を変更する以外の目的では開かないで下さい\n") +
                            QStringLiteral("この文書DBを開きますか")))
        return false;

    host_.saveTreeState();
    path_ = path;
    progress().status(path + QStringLiteral("をｵ-ﾌﾟﾝしました"));
    G().BusyFlag = true;
    bool ok = false;
    zSvr& db = zSvr::instance();
    db.D_StDcDb(path, ok);
    host_.clearTreeAndEditor();
    if (!ok) {
        // The prepared failure text and the reason, so the user knows what is wrong.
        const QString head = db.lastError().startsWith(msg::formatsUnreadable())
                                 ? QString()
                                 : msg::openError() + u'\n';
        prompter().message(head + db.lastError() + u'\n' + path, Severity::Warning);
    } else {
        ok = ChkDocDb();
        if (!ok)
            db.D_Close();
    }
    if (ok) {
        recent_.add(path);
        G().BusyFlag = false;
        host_.loadTree();
    } else {
        recent_.hide(path);
        path_.clear();
    }
    host_.refreshMenus();
    host_.setCaption(path_);
    G().BusyFlag = false;
    return ok;
}

bool DatabaseFiles::NewDocDb() {
    const QString moto = templatePath();
    if (!QFileInfo::exists(moto)) {
        prompter().message(moto + QStringLiteral(" が存在しません"), Severity::Warning);
        return false;
    }
    const QString path = ShowDbDialog(QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽを新規作成"), 1, QString());
    if (path.isEmpty())
        return false;
    if (QFileInfo(path) == QFileInfo(moto)) {
        prompter().message(QStringLiteral("複写先と現在のﾌｧｲﾙが同一です"), Severity::Warning);
        return false;
    }
    if (QFileInfo::exists(path) && !overwriteQuestion(path))
        return false;
    CloseDocDb();
    if (!copyFileReplacing(moto, path)) {
        prompter().message(QStringLiteral("新規作成に失敗しました"), Severity::Warning);
        return false;
    }
    // The site folder of the database, named as the site build names it (DbName: up to the
    // last dot), so "a.b.txdb" publishes into the folder it was given.
    const QString name = QFileInfo(path).completeBaseName();
    const QString site = G().UserPath + QStringLiteral("Site/") + name;
    const QString siteTemplate = G().UserPath + QStringLiteral("Site/Moto");
    if (QFileInfo::exists(site))
        RecycleFile(site);
    bool siteReady = false;
    if (QFileInfo(siteTemplate).isDir())
        siteReady = ShFileOp(QStringLiteral("複写"), siteTemplate, site, true, true);
    else
        siteReady = QDir().mkpath(site);  // no template site yet: an empty one

    path_ = path;
    host_.setCaption(path_);
    bool ok = false;
    zSvr::instance().D_StDcDb(path, ok);
    if (siteReady && ok) {
        recent_.add(path);
        host_.refreshMenus();
        prompter().message(path + QStringLiteral("を新規作成しｵ-ﾌﾟﾝしました"));
        host_.clearTreeAndEditor();
        host_.loadTree();
        return true;
    }
    prompter().message(QStringLiteral("新規作成に失敗しました"), Severity::Warning);
    host_.refreshMenus();
    return false;
}

bool DatabaseFiles::copyOpenDatabaseTo(const QString& target) {
    host_.saveTreeState();
    zSvr::instance().D_Close();
    return copyFileReplacing(path_, target);
}

bool DatabaseFiles::SaveDocDbAs() {
    if (path_.isEmpty() || !G().IsJet)
        return false;
    const QString path = ShowDbDialog(QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽを別名で保存"), 1, QString());
    if (path.isEmpty())
        return false;
    if (QFileInfo(path) == QFileInfo(path_)) {
        prompter().message(QStringLiteral("複写先と現在のﾌｧｲﾙが同一です"), Severity::Warning);
        return false;
    }
    if (QFileInfo::exists(path) && !overwriteQuestion(path))
        return false;
    const QString old = path_;
    const bool copied = copyOpenDatabaseTo(path);
    bool ok = false;
    zSvr::instance().D_StDcDb(copied ? path : old, ok);
    if (copied && ok) {
        path_ = path;
        host_.setCaption(path_);
        recent_.add(path);
        host_.clearTreeAndEditor();
        host_.loadTree();
        host_.refreshMenus();
        prompter().message(path + QStringLiteral("に複写しｵ-ﾌﾟﾝしました"));
        return true;
    }
    prompter().message(path + QStringLiteral("への複写に失敗しました"), Severity::Warning);
    if (!ok) {
        // Not even the old file opened again: the window shows no database.
        path_.clear();
        host_.clearTreeAndEditor();
    } else {
        host_.loadTree();
    }
    host_.setCaption(path_);
    host_.refreshMenus();
    return false;
}

void DatabaseFiles::CloseDocDb() {
    host_.setCaption(QString());
    path_.clear();
    host_.saveTreeState();
    zSvr::instance().D_Close();
    host_.clearTreeAndEditor();
    host_.refreshMenus();
}

bool DatabaseFiles::DeleteAllPages() {
    if (prompter().ask(QStringLiteral("現在のﾃﾞｰﾀｰﾍﾞｰｽの全てのﾃﾞ-ﾀ-を削除して良いですか"),
                       Buttons::YesNo, Severity::Question) != Answer::Yes)
        return false;
    zSvr& db = zSvr::instance();
    const bool ok = db.D_ExeSq(QStringLiteral("Delete From msDoc")) &&
                    db.D_ExeSq(QStringLiteral("Delete From tbTree"));
    host_.clearTreeAndEditor();
    host_.clipboardCleared();
    host_.refreshMenus();
    return ok;
}

QString DatabaseFiles::PurgeNoUse() {
    zSvr& db = zSvr::instance();
    bool readOnly = false;
    db.DbRead(readOnly);
    if (readOnly)
        return {};
    const bool ownTransaction = !db.inTransaction();
    if (ownTransaction)
        db.D_Tran(0);
    db.D_ExeSq(QStringLiteral("Update tbTree Set boUse=0"));
    // Mark what the top level reaches, each parent once (cycles end there).
    QSet<int> visited;
    QList<int> pending{0};
    while (!pending.isEmpty()) {
        const int parent = pending.takeFirst();
        if (visited.contains(parent))
            continue;
        visited.insert(parent);
        const QString no = QString::number(parent);
        db.D_ExeSq(QStringLiteral(" Update tbTree Set boUse=1 Where noLfP=") + no);
        ResultArray children;
        db.readRows(QStringLiteral("Select noLfC From tbTree Where noLfP=") + no +
                        QStringLiteral(" Order By inSrt"),
                    children);
        for (int r = 0; r < children.rowCount(); ++r)
            pending << children(0, r).toInt();
    }
    db.D_ExeSq(QStringLiteral("Delete From tbTree Where boUse=0"));
    db.D_ExeSq(QStringLiteral("Update msDoc Set boUse=0"));
    db.D_ExeSq(QStringLiteral(" Update msDoc Set boUse=1 Where noDoc in (") +
               QStringLiteral(" Select noLfC From tbTree )"));
    const qint64 n =
        db.R_GtVaL(QStringLiteral("Select Count(*) From msDoc Where boUse=0 "), 0).toLongLong();
    QString message;
    if (n > 0) {
        // The pages go to the Word backup first; without their copies nothing is deleted.
        QString backup;
        if (hasWordCopyWriter()) {
            WordCopyJob job;
            job.folder = wordCopyFolder(G().UserPath, G().DbName);
            job.textOfDamaged = true;
            ResultArray pages;
            db.readRows(QStringLiteral("Select noDoc From msDoc Where boUse=0 And (Not obDoc is "
                                       "Null) Order By noDoc"),
                        pages);
            for (int r = 0; r < pages.rowCount(); ++r)
                job.pages << pages(0, r).toInt();
            const WordCopyOutcome copies = writeWordCopies(job);
            if (!copies.ok) {
                if (ownTransaction)
                    db.D_Tran(2);
                return QStringLiteral("ﾜｰﾄﾞ文書でBackUpできないので削除しませんでした\n") +
                       copies.problems.join(u'\n');
            }
            backup = u'\n' + G().UserPath + QStringLiteral("Dbs/") + G().DbName +
                     QStringLiteral("_doc にﾜｰﾄﾞ文書でBackUpしました");
            for (const QString& problem : copies.problems)
                backup += u'\n' + problem;
        }
        db.D_ExeSq(QStringLiteral(" Delete From msDoc Where boUse=0"));
        db.D_ExeSq(
            QStringLiteral(" Delete From tbHtm Where noDoc Not in (Select noDoc From msDoc)"));
        message = fullWidthNumber(n) + QStringLiteral("件 削除しました") + backup;
    } else {
        message = QStringLiteral("参照されていない文書はありませんでした");
    }
    db.D_ExeSq(QStringLiteral("Delete From tbTree Where boUse = 0"));
    if (ownTransaction)
        db.D_Tran(1);
    return message;
}

bool DatabaseFiles::CompactDocDb(bool keepCopy, QString message) {
    zSvr& db = zSvr::instance();
    if (!db.isOpen() || db.isServer())
        return false;
    bool readOnly = false;
    db.DbRead(readOnly);
    if (readOnly)
        return false;
    if (!message.isEmpty())
        message += u'\n';
    const QString path = path_.isEmpty() ? db.dataSourceName() : path_;
    host_.saveTreeState();
    db.D_Close();

    const QString work = compactionWorkFile(path);
    QFile::remove(work);
    QString error;
    bool compacted = false;
    {
        auto engine = SqliteEngine::open(path, error);
        qint64 n = 0;
        compacted =
            engine && engine->exec(QStringLiteral("VACUUM INTO ?1"), QVariantList{work}, n, error);
    }
    if (compacted) {
        // The compacted file takes the original's place in one step.
        std::error_code ec;
        std::filesystem::rename(QFile::encodeName(work).toStdString(),
                                QFile::encodeName(path).toStdString(), ec);
        compacted = !ec;
        if (ec)
            error = QString::fromStdString(ec.message());
    }
    if (compacted && keepCopy)
        copyFileReplacing(path, work);
    if (!compacted)
        QFile::remove(work);
    bool ok = false;
    db.D_StDcDb(path, ok);
    if (compacted)
        prompter().message(message + path + QStringLiteral("の最適化をしました"));
    else
        prompter().message(message + path + QStringLiteral("\n") + error, Severity::Warning);
    if (!ok) {
        path_.clear();
        host_.clearTreeAndEditor();
        host_.setCaption(path_);
        host_.refreshMenus();
    }
    return compacted && ok;
}

void DatabaseFiles::Maintenance(bool keepCopy) {
    RebuildLinkFlags(false);
    const Answer answer =
        prompter().ask(QStringLiteral("ﾂﾘ-で参照されていないﾍﾟｰｼﾞを削除しますか?"),
                       Buttons::YesNoCancel, Severity::Question);
    if (answer == Answer::Cancel)
        return;
    progress().showWait(QStringLiteral("ﾃﾞｰﾀｰﾍﾞｰｽを最適化しています"));
    QString message;
    if (answer == Answer::Yes)
        message = PurgeNoUse();
    if (zSvr::instance().isServer()) {
        if (!message.isEmpty())
            prompter().message(message);
    } else {
        CompactDocDb(keepCopy, message);
    }
    progress().hideWait();
    host_.clearTreeAndEditor();
    host_.loadTree();
}

}  // namespace arbor
