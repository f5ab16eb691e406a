// RTF and legacy .doc through LibreOffice: a round trip when it is installed, a clear
// message when it is not, and a hanging converter stopped at the time limit without
// touching the target file.
#include <gtest/gtest.h>

#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>
#include <QThread>

#include "app/progress.h"
#include "exchange/office_convert.h"
#include "exchange/office_files.h"
#include "exchange_test_util.h"
#include "support/gui_app.h"

using namespace arbor;
using namespace arbor::test;

namespace {

void writeFile(const QString& path, const QByteArray& bytes, bool executable = false) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    if (executable)
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Running and not a zombie.
bool processAlive(qint64 pid) {
    const QByteArray status = readFile(QStringLiteral("/proc/%1/status").arg(pid));
    return !status.isEmpty() && !status.contains("State:\tZ");
}

// Records what a conversion shows while it waits.
struct RecordingProgress : Progress {
    QStringList waits;
    int steps = 0;
    bool waitOpen = false;
    void status(const QString&) override {}
    void showWait(const QString& text) override {
        waits << text;
        waitOpen = true;
    }
    void hideWait() override { waitOpen = false; }
    void step(qint64, qint64) override { ++steps; }
};

// Puts a folder of fake programs first on PATH (or makes it the whole PATH).
class OfficeConvert : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureGuiApp();
        savedPath = qgetenv("PATH");
    }
    void TearDown() override { qputenv("PATH", savedPath); }

    void usePath(const QString& path) { qputenv("PATH", path.toLocal8Bit()); }

    QByteArray savedPath;
    QTemporaryDir dir;
};

TEST_F(OfficeConvert, MissingLibreOfficeIsNamed) {
    const QString empty = dir.filePath(QStringLiteral("bin"));
    QDir().mkpath(empty);
    usePath(empty);
    EXPECT_FALSE(office::available());
    const QString input = dir.filePath(QStringLiteral("a.rtf"));
    writeFile(input, "{\\rtf1 x}");
    QString error;
    EXPECT_FALSE(office::convert(input, QStringLiteral("docx"),
                                 dir.filePath(QStringLiteral("a.docx")), error));
    EXPECT_EQ(error, office::missingMessage());
    EXPECT_TRUE(error.contains(QStringLiteral("LibreOffice")));
    EXPECT_TRUE(error.contains(QStringLiteral("apt-get install libreoffice-writer-nogui")));

    OwnedParts owned;
    owned.body->setPlainText(QStringLiteral("そのまま"));
    doc::DocumentParts parts = owned.parts();
    EXPECT_FALSE(office::readOfficeFile(input, parts, error));
    EXPECT_EQ(error, office::missingMessage());
    EXPECT_EQ(owned.body->toPlainText(), QStringLiteral("そのまま"));
}

TEST_F(OfficeConvert, HangingConversionIsStoppedAtTheLimit) {
    const QString bin = dir.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    const QString pidFile = dir.filePath(QStringLiteral("child.pid"));
    // The fake starts a child of its own, as LibreOffice's launcher does.
    writeFile(
        bin + QStringLiteral("/soffice"),
        QStringLiteral("#!/bin/sh\nsleep 120 &\necho $! > '%1'\nwait\n").arg(pidFile).toUtf8(),
        true);
    usePath(bin + QLatin1Char(':') + QString::fromLocal8Bit(savedPath));
    ASSERT_TRUE(office::available());

    const QString input = dir.filePath(QStringLiteral("in.rtf"));
    writeFile(input, "{\\rtf1 x}");
    const QString output = dir.filePath(QStringLiteral("out.docx"));
    writeFile(output, "the previous file");
    QString error;
    QElapsedTimer timer;
    timer.start();
    RecordingProgress shown;
    Progress* previous = setProgress(&shown);
    EXPECT_FALSE(office::convert(input, QStringLiteral("docx"), output, error, 1500));
    setProgress(previous);
    EXPECT_LT(timer.elapsed(), 10000);
    // The wait window was up while LibreOffice ran, and events ran all along.
    EXPECT_EQ(shown.waits.size(), 1);
    EXPECT_FALSE(shown.waitOpen);
    EXPECT_GT(shown.steps, 10);
    EXPECT_TRUE(error.contains(QStringLiteral("中止"))) << error.toStdString();
    EXPECT_EQ(readFile(output), QByteArray("the previous file"));

    const qint64 child = readFile(pidFile).trimmed().toLongLong();
    ASSERT_GT(child, 0);
    for (int i = 0; i < 50 && processAlive(child); ++i)
        QThread::msleep(100);
    EXPECT_FALSE(processAlive(child)) << "the launcher's child outlived the timeout";
}

TEST_F(OfficeConvert, ConverterWithoutResultIsAFailure) {
    const QString bin = dir.filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    writeFile(bin + QStringLiteral("/soffice"),
              "#!/bin/sh\necho 'Error: source file could not be loaded' >&2\nexit 0\n", true);
    usePath(bin + QLatin1Char(':') + QString::fromLocal8Bit(savedPath));
    const QString input = dir.filePath(QStringLiteral("in.doc"));
    writeFile(input, "not a word file");
    const QString output = dir.filePath(QStringLiteral("out.docx"));
    QString error;
    EXPECT_FALSE(office::convert(input, QStringLiteral("docx"), output, error));
    EXPECT_TRUE(error.contains(QStringLiteral("could not be loaded"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(output));
    EXPECT_FALSE(office::convert(dir.filePath(QStringLiteral("none.rtf")), QStringLiteral("docx"),
                                 output, error));
    EXPECT_TRUE(error.contains(QStringLiteral("見つかりません")));
}

TEST_F(OfficeConvert, RtfAndDocRoundTrip) {
    if (!office::available())
        GTEST_SKIP() << "LibreOffice is not installed (apt-get install libreoffice-writer-nogui)";
    OwnedParts source;
    QTextCursor c(source.body.get());
    QTextBlockFormat heading;
    heading.setProperty(doc::StyleIndex, 0);
    heading.setProperty(doc::HeadingAttribute, 1);
    c.setBlockFormat(heading);
    c.insertText(QStringLiteral("変換の見出し"));
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    c.insertText(QStringLiteral("日本語の本文と"));
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("太字"), bold);
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    QTextTable* t = c.insertTable(2, 2);
    t->mergeCells(0, 0, 1, 2);
    t->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("結合"));
    t->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("右下"));

    for (const QString& ext : {QStringLiteral("rtf"), QStringLiteral("doc")}) {
        SCOPED_TRACE(ext.toStdString());
        const QString path = dir.filePath(QStringLiteral("往復.") + ext);
        QString error;
        ASSERT_TRUE(office::writeOfficeFile(source.parts(), path, ext, error, 180000))
            << error.toStdString();
        const QByteArray head = readFile(path).left(8);
        EXPECT_TRUE(ext == QLatin1String("rtf") ? head.startsWith("{\\rtf")
                                                : head.startsWith("\xD0\xCF\x11\xE0"));

        OwnedParts back;
        doc::DocumentParts parts = back.parts();
        ASSERT_TRUE(office::readOfficeFile(path, parts, error, 180000)) << error.toStdString();
        const QTextDocument& d = *back.body;
        EXPECT_EQ(
            blockOf(d, QStringLiteral("変換の見出し")).blockFormat().property(doc::StyleIndex),
            QVariant(0));
        EXPECT_TRUE(d.toPlainText().contains(QStringLiteral("日本語の本文と太字")));
        EXPECT_EQ(formatOf(d, QStringLiteral("太字")).fontWeight(), QFont::Bold);
        QTextTable* table = firstTable(d);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->cellAt(0, 0).columnSpan(), 2);
        EXPECT_EQ(table->cellAt(1, 1).firstCursorPosition().block().text(), QStringLiteral("右下"));
    }
}

}  // namespace
