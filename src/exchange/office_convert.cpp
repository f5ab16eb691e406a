#include "exchange/office_convert.h"

#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include "app/file_io.h"
#include "app/progress.h"

namespace arbor::office {

namespace {

QString officeProgram() {
    for (const char* name : {"soffice", "libreoffice"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

// Naming the export filter keeps LibreOffice from guessing from the document type.
QString convertTarget(const QString& extension) {
    if (extension == QLatin1String("docx"))
        return QStringLiteral("docx:MS Word 2007 XML");
    if (extension == QLatin1String("doc"))
        return QStringLiteral("doc:MS Word 97");
    if (extension == QLatin1String("rtf"))
        return QStringLiteral("rtf:Rich Text Format");
    if (extension == QLatin1String("pdf"))
        return QStringLiteral("pdf:writer_pdf_Export");
    if (extension == QLatin1String("odt"))
        return QStringLiteral("odt:writer8");
    return extension;
}

QString lastLines(const QByteArray& output) {
    const QString text = QString::fromLocal8Bit(output).trimmed();
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.mid(qMax(0, lines.size() - 3)).join(QLatin1Char(' '));
}

// Waits for the conversion with the wait window up and the windows still painting, since
// LibreOffice takes seconds even for a small page.
bool waitShowingProgress(QProcess& process, int timeoutMs) {
    struct WaitWindow {
        WaitWindow() { progress().showWait(QStringLiteral("LibreOffice で変換しています…")); }
        ~WaitWindow() { progress().hideWait(); }
    } wait;
    QElapsedTimer clock;
    clock.start();
    while (!process.waitForFinished(50)) {
        if (process.state() == QProcess::NotRunning)
            return true;
        if (clock.elapsed() >= timeoutMs)
            return false;
        progress().step(0, 0);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return true;
}

}  // namespace

bool available() {
    return !officeProgram().isEmpty();
}

QString missingMessage() {
    return QStringLiteral(
        "LibreOffice が見つかりません。RTF と Word 97-2003 文書（.doc）の読み書きには "
        "LibreOffice が必要です。\n"
        "「sudo apt-get install libreoffice-writer-nogui」でインストールしてから、"
        "もう一度実行してください。");
}

bool convert(const QString& input, const QString& extension, const QString& output, QString& error,
             int timeoutMs) {
    const QString program = officeProgram();
    if (program.isEmpty()) {
        error = missingMessage();
        return false;
    }
    const QFileInfo source(input);
    if (!source.isFile()) {
        error = QStringLiteral("変換するファイルが見つかりません: %1").arg(input);
        return false;
    }
    const QString ext = extension.toLower();
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/arbor-office-XXXXXX"));
    if (!work.isValid()) {
        error = QStringLiteral("作業フォルダーを作れません");
        return false;
    }
    // A private copy with a plain name: LibreOffice misreads some file names, and the
    // result is named after the source.
    QDir(work.path()).mkpath(QStringLiteral("in"));
    QDir(work.path()).mkpath(QStringLiteral("out"));
    const QString suffix =
        source.suffix().isEmpty() ? QString() : QLatin1Char('.') + source.suffix();
    const QString copy = work.filePath(QStringLiteral("in/source") + suffix);
    if (!QFile::copy(input, copy)) {
        error = QStringLiteral("変換するファイルを読めません: %1").arg(input);
        return false;
    }

    QProcess process;
    process.setProgram(program);
    // A profile of its own lets the conversion run while the user's LibreOffice is open.
    process.setArguments(
        {QStringLiteral("-env:UserInstallation=") +
             QUrl::fromLocalFile(work.filePath(QStringLiteral("profile"))).toString(),
         QStringLiteral("--headless"), QStringLiteral("--invisible"), QStringLiteral("--nologo"),
         QStringLiteral("--norestore"), QStringLiteral("--nolockcheck"),
         QStringLiteral("--convert-to"), convertTarget(ext), QStringLiteral("--outdir"),
         work.filePath(QStringLiteral("out")), copy});
    // Its own process group, so a timeout stops every process LibreOffice started.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start();
    if (!process.waitForStarted(10000)) {
        error = QStringLiteral("LibreOffice を起動できません: %1").arg(process.errorString());
        return false;
    }
    if (!waitShowingProgress(process, timeoutMs)) {
        const qint64 pid = process.processId();
        if (pid > 0)
            ::kill(-pid_t(pid), SIGKILL);
        process.waitForFinished(5000);
        error = QStringLiteral("LibreOffice による変換が %1 秒以内に終わらなかったため中止しました")
                    .arg(timeoutMs / 1000.0);
        return false;
    }
    const QString result = work.filePath(QStringLiteral("out/source.") + ext);
    if (process.exitStatus() != QProcess::NormalExit || !QFileInfo(result).isFile() ||
        QFileInfo(result).size() == 0) {
        const QString detail =
            lastLines(process.readAllStandardError() + process.readAllStandardOutput());
        error = QStringLiteral("LibreOffice で %1 に変換できませんでした").arg(ext.toUpper()) +
                (detail.isEmpty() ? QString() : QStringLiteral("（%1）").arg(detail));
        return false;
    }
    if (!copyFileReplacing(result, output)) {
        error = QStringLiteral("ファイルを書き込めません: %1").arg(output);
        return false;
    }
    return true;
}

}  // namespace arbor::office
