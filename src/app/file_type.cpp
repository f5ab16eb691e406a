#include "app/file_type.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "app/app_paths.h"
#include "app/desktop_entry.h"
#include "app/file_io.h"
#include "app/prompter.h"

namespace arbor {

namespace {

QString xmlEscaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString mimePackageText(const QString& mimeType, const QString& ext) {
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"") +
           xmlEscaped(mimeType) +
           QStringLiteral(
               "\">\n"
               "    <comment>文書ﾃﾞｰﾀｰﾍﾞｰｽ</comment>\n"
               "    <glob pattern=\"*.") +
           xmlEscaped(ext) +
           QStringLiteral(
               "\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n");
}

// Runs a desktop database tool when it is installed; its absence or failure only means
// the desktop notices the change later.
void runIfPresent(const QString& tool, const QString& folder) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return;
    QProcess process;
    process.start(program, {folder});
    if (process.waitForStarted(5000))
        process.waitForFinished(30000);
}

}  // namespace

QString mimeTypeForExtension(const QString& ext) {
    return QStringLiteral("application/x-") + ext.toLower();
}

void RegFileType(const QString& progId, const QString& exePath, const QString& ext, bool& ok,
                 const QString& dataHome) {
    ok = false;
    if (!QFileInfo(exePath).isFile()) {
        prompter().message(exePath + QStringLiteral(" Not Found"), Severity::Warning);
        return;
    }
    UserFolders folders;
    folders.appData = dataHome;
    const QString base = folders.resolved().appData;
    const QString mimeFolder = base + QStringLiteral("/mime");
    const QString packages = mimeFolder + QStringLiteral("/packages");
    const QString applications = base + QStringLiteral("/applications");
    const QString mimeType = mimeTypeForExtension(ext);

    const bool mimeWritten =
        QDir().mkpath(packages) &&
        writeFileAtomically(packages + QStringLiteral("/arbor-") + progId + QStringLiteral(".xml"),
                            mimePackageText(mimeType, ext).toUtf8());

    DesktopEntry entry;
    entry.name = QStringLiteral("Arbor");
    entry.comment = QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽ");
    entry.exec = exePath;
    entry.execArguments = QStringLiteral("%f");
    entry.mimeTypes = {mimeType};
    const bool entryWritten =
        QDir().mkpath(applications) &&
        writeDesktopEntry(
            applications + QStringLiteral("/arbor-") + progId + QStringLiteral(".desktop"), entry);

    ok = mimeWritten && entryWritten;
    if (mimeWritten)
        runIfPresent(QStringLiteral("update-mime-database"), mimeFolder);
    if (entryWritten)
        runIfPresent(QStringLiteral("update-desktop-database"), applications);
    if (!ok)
        prompter().message(fileTypeMessage(false, exePath), Severity::Warning);
}

QString fileTypeMessage(bool ok, const QString& exePath) {
    if (ok)
        return QStringLiteral("拡張子(*.txdb)を ") + exePath +
               QStringLiteral(" と関連付けしました");
    return QStringLiteral("拡張子(*.txdb)の関連付けできませんでした") + QLatin1Char('\n') +
           QStringLiteral("OS がVista以降で UACを有効にしている場合は、管理者として実行して下さい");
}

bool registerDocumentFileType(const QString& exePath, const QString& dataHome) {
    bool ok = false;
    RegFileType(QStringLiteral("txdbfile"), exePath, QStringLiteral("txdb"), ok, dataHome);
    if (ok)
        prompter().message(fileTypeMessage(true, exePath));
    return ok;
}

}  // namespace arbor
