// The sample collection published with the skeleton site and the real conversion, as a
// user's first site: every relative link and picture resolves, and the pages of every
// document type parse (xmllint, when installed).
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include "app/program_state.h"
#include "db/zsvr.h"
#include "editor/sample_collection.h"
#include "support/scripted_prompter.h"
#include "web/site_build.h"
#include "web/site_settings.h"
#include "web/style_sheet_editor.h"
#include "web/style_sheet_editor_files.h"
#include "web/yhtm_site_conversion.h"

using namespace arbor;

namespace {

class SampleSite : public ::testing::Test {
  protected:
    test::PrompterFixture ui;
    QTemporaryDir user;
    ProgramState saved = G();
    QString site;

    void SetUp() override {
        G().UserPath = user.path() + u'/';
        G().ApDataPath = QStringLiteral(ARBOR_TEST_APDATA);
        const QString path = user.filePath(QStringLiteral("サンプル.txdb"));
        QString error;
        ASSERT_TRUE(
            createSampleCollection(path, G().ApDataPath + QStringLiteral("schema.sql"), error))
            << error.toStdString();
        bool ok = false;
        zSvr::instance().D_StDcDb(path, ok);
        ASSERT_TRUE(ok);
        const int top = zSvr::instance()
                            .R_GtVaL(QStringLiteral("Select Top 1 noLfC From tbTree Where "
                                                    "boHide=0 And noLfP = 0 Order By inSrt"),
                                     0)
                            .toInt();
        zSvr::instance().D_ExeSq(QStringLiteral("Delete From tbHtm"));
        ASSERT_TRUE(zSvr::instance().D_ExeSq(
            QStringLiteral("Insert Into tbHtm (noDoc, saTpl, szTtl) Values (%1, 'tpl-fx.htm', "
                           "'Arbor の \"サンプル\" & <サイト>')")
                .arg(top)));
        site = G().UserPath + QStringLiteral("Site/") + G().DbName;
    }
    void TearDown() override {
        zSvr::instance().D_Close();
        G() = saved;
    }

    web::SiteBuildReport build(int kind) {
        zSvr::instance().D_ExeSq(QStringLiteral("Update kaUsr Set HiType=%1").arg(kind));
        const auto conversion = web::makeSiteConversion();
        web::SiteBuild build(*conversion);
        web::SiteBuildRequest request;
        request.mode = web::UpdateMode::AllPages;
        return build.run(request);
    }

    QStringList pageFiles() const {
        QStringList files;
        QDirIterator it(site, {QStringLiteral("*.htm"), QStringLiteral("*.html")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            if (!f.contains(QStringLiteral("/Template/")))
                files << f;
        }
        return files;
    }
};

// Every relative href and src of the page that names a file that does not exist.
QStringList brokenLinks(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {file + QStringLiteral(": unreadable")};
    const QString text = QString::fromUtf8(f.readAll());
    static const QRegularExpression ref(QStringLiteral(R"re((?:href|src)="([^"]*)")re"),
                                        QRegularExpression::CaseInsensitiveOption);
    QStringList broken;
    const QDir here = QFileInfo(file).dir();
    for (auto it = ref.globalMatch(text); it.hasNext();) {
        QString target = it.next().captured(1);
        if (target.isEmpty() || target.startsWith(u'#') || target.contains(QStringLiteral("://")) ||
            target.startsWith(QStringLiteral("mailto:")) ||
            target.startsWith(QStringLiteral("javascript:")))
            continue;
        target = target.section(u'#', 0, 0).section(u'?', 0, 0);
        target = QUrl::fromPercentEncoding(
            target.replace(QStringLiteral("&amp;"), QStringLiteral("&")).toUtf8());
        if (!QFileInfo::exists(here.filePath(target)))
            broken << QFileInfo(file).fileName() + QStringLiteral(" -> ") + target;
    }
    return broken;
}

// xmllint's complaints about a file, or "" when it is content (or not installed).
QString xmllint(const QString& file, bool html) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (tool.isEmpty())
        return {};
    QProcess p;
    QStringList args{QStringLiteral("--noout"), QStringLiteral("--nonet")};
    if (html)
        args << QStringLiteral("--html");
    p.start(tool, args << file);
    p.waitForFinished(30000);
    const QString out = QString::fromUtf8(p.readAllStandardError());
    return p.exitCode() == 0 && out.trimmed().isEmpty() ? QString() : out;
}

}  // namespace

TEST_F(SampleSite, EveryRelativeLinkAndPictureResolves) {
    // A page that never had content is published empty.
    ASSERT_TRUE(
        zSvr::instance().D_ExeSq(QStringLiteral("Update msDoc Set obDoc=Null Where noDoc=1006")));
    const web::SiteBuildReport r = build(0);
    ASSERT_TRUE(r.started) << r.message.toStdString();
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join(u'\n').toStdString();
    const QStringList files = pageFiles();
    ASSERT_GE(files.size(), 5);
    EXPECT_TRUE(QFileInfo::exists(site + QStringLiteral("/pub/1006.htm")));
    QStringList broken;
    for (const QString& f : files)
        broken << brokenLinks(f);
    EXPECT_TRUE(broken.isEmpty()) << broken.join(u'\n').toStdString();
    // The site title is written as text, whatever it holds.
    QFile top(r.topFile);
    ASSERT_TRUE(top.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(top.readAll())
                    .contains(QStringLiteral("Arbor の  サンプル  &amp; &lt;サイト&gt;")));
}

TEST_F(SampleSite, PagesOfEveryDocumentTypeParse) {
    if (QStandardPaths::findExecutable(QStringLiteral("xmllint")).isEmpty())
        GTEST_SKIP() << "xmllint (libxml2-utils) is not installed";
    for (int kind : {2, 3, 0, 1}) {
        const web::SiteBuildReport r = build(kind);
        ASSERT_TRUE(r.started) << r.message.toStdString();
        for (const QString& f : pageFiles()) {
            const QString complaint = xmllint(f, kind < 2);
            EXPECT_TRUE(complaint.isEmpty()) << "kind " << kind << ": " << f.toStdString() << "\n"
                                             << complaint.toStdString();
        }
    }
}

// The template editor's every colour preset, in both layouts, chosen as the top page's
// template through the settings and built in XHTML 1.0 Strict: every page parses, links
// resolve (the style sheet and its background included) and keeps its frame.
TEST_F(SampleSite, EveryPresetRestylesASiteThatStaysWellFormed) {
    const bool lint = !QStandardPaths::findExecutable(QStringLiteral("xmllint")).isEmpty();
    const int top = web::settingsTopPage();
    const auto conversion = web::makeSiteConversion();
    ASSERT_TRUE(build(3).started);
    int n = 0;
    for (const QString& preset : web::presetNames()) {
        web::CssDesign d = web::defaultDesign();
        d.elastic = n++ % 2 == 1;
        d.id = preset.toLower();
        const auto groups = web::presetGroups(preset);
        web::applyPresetGroup(d, groups[web::stepGroup(0, -1, static_cast<int>(groups.size()))]);
        QString message;
        ASSERT_TRUE(web::writeDesign(d, message)) << message.toStdString();
        web::PageSettings loaded, edited;
        ASSERT_TRUE(web::loadPageSettings(top, loaded, message));
        edited = loaded;
        edited.templ = web::templateName(d);
        const web::PageSaveResult change = web::savePageSettings(edited, loaded, *conversion);
        ASSERT_TRUE(change.saved) << change.message.toStdString();
        const web::SiteBuildReport r = build(3);
        ASSERT_TRUE(r.started) << r.message.toStdString();
        EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join(u'\n').toStdString();
        for (const QString& f : pageFiles()) {
            EXPECT_TRUE(brokenLinks(f).isEmpty())
                << preset.toStdString() << ": " << brokenLinks(f).join(u'\n').toStdString();
            if (lint) {
                const QString complaint = xmllint(f, false);
                EXPECT_TRUE(complaint.isEmpty())
                    << preset.toStdString() << ": " << f.toStdString() << "\n"
                    << complaint.toStdString();
            }
        }
        QFile page(r.topFile);
        ASSERT_TRUE(page.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(page.readAll());
        EXPECT_TRUE(text.contains(QStringLiteral("navi") + web::designPart(d) + ".css"))
            << preset.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("<div id=\"vBack\">")));
        EXPECT_TRUE(text.contains(QStringLiteral("id=\"uTop\"")));
        if (const QString keep = qEnvironmentVariable("ARBOR_KEEP_PRESET_SITES"); !keep.isEmpty())
            QProcess::execute(QStringLiteral("cp"),
                              {QStringLiteral("-r"), site, keep + u'/' + preset});
    }
}
