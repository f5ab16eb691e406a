#include "web/site_fixture.h"

#include <QDir>
#include <QFile>

#include "app/program_state.h"
#include "app/zclt.h"

namespace arbor::test {

namespace {

QString pad(int n) {
    return QString::number(n).rightJustified(3, u'0');
}

class FakeConverter : public web::PageConverter {
  public:
    explicit FakeConverter(const FakeConversion& owner) : owner_(owner) {}
    bool convert(int page, const QByteArray& richText, const QString& outputPath,
                 const web::PageHeadData& headData, QString& head, QString& body,
                 QString& error) override {
        const_cast<FakeConversion&>(owner_).conversions++;
        {
            std::lock_guard lock(owner_.mutex);
            const_cast<FakeConversion&>(owner_).converted.insert(page);
        }
        if (richText == "damaged") {
            error = QStringLiteral("書式付きの内容が壊れています");
            return false;
        }
        head = QStringLiteral(
                   "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<style type=\"text/css\">\r\n"
                   "    body {color:#000000;}\r\n</style>\r\n<title>") +
               QString::number(page) + u' ' + headData.title +
               QStringLiteral("</title>\r\n</head>\r\n");
        body = QStringLiteral("<body>\r\n<div class=\"page\">") + QString::fromUtf8(richText) +
               QStringLiteral(" @") + QFileInfo(outputPath).fileName() +
               QStringLiteral("</div>\r\n</body>\r\n</html>\r\n");
        return true;
    }

  private:
    const FakeConversion& owner_;
};

}  // namespace

QString FakeConversion::fileName(int parent, int page, bool link) const {
    if (link)
        return pad(parent) + u'_' + pad(page) + QStringLiteral(".htm");
    return customNames.value(page, pad(page) + QStringLiteral(".htm"));
}

std::unique_ptr<web::PageConverter> FakeConversion::converter() const {
    return std::make_unique<FakeConverter>(*this);
}

void SiteTest::SetUp() {
    savedUserPath = G().UserPath;
    savedDbName = G().DbName;
    G().UserPath = user.path() + u'/';
    QDir().mkpath(user.filePath(QStringLiteral("Site/Moto/cmn")));
    QDir().mkpath(user.filePath(QStringLiteral("Site/Moto/pub")));
    QDir().mkpath(user.filePath(QStringLiteral("Site/Moto/Template")));
    writeTemplate(QStringLiteral("main.htm"), mainTemplate());
    QFile css(user.filePath(QStringLiteral("Site/Moto/cmn/navi.css")));
    ASSERT_TRUE(css.open(QIODevice::WriteOnly));
    css.write("body{}");
}

void SiteTest::TearDown() {
    db.D_Close();
    G().UserPath = savedUserPath;
    G().DbName = savedDbName;
}

QString SiteTest::mainTemplate() {
    return QStringLiteral(
        "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n"
        "<link rel=\"stylesheet\" href=\"../cmn/navi.css\">\r\n<title>t</title>\r\n</head>\r\n"
        "<body>\r\n<div id=\"vBack\">\r\n<span id=\"sTitle\">名前</span>\r\n<!-- uTop DropDown "
        "-->\r\n<ul id=\"uTop\">\r\n</ul>\r\n"
        "<div id=\"dPan\">\r\n</div>\r\n<ul id=\"uLeft\">\r\n</ul>\r\n"
        "<div id=\"dMain\">\r\n</div>\r\n<p><a href=\"../pub/about.htm\">about</a></p>\r\n"
        "</div>\r\n<!-- / vBack -->\r\n</body>\r\n</html>\r\n");
}

void SiteTest::writeTemplate(const QString& name, const QString& text) {
    // Into the skeleton before the site exists, into the site's own folder afterwards.
    const QString site =
        user.filePath(QStringLiteral("Site/") + G().DbName + QStringLiteral("/Template"));
    const QString folder = !G().DbName.isEmpty() && QFileInfo(site).isDir()
                               ? site
                               : user.filePath(QStringLiteral("Site/Moto/Template"));
    QFile f(folder + u'/' + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}

void SiteTest::exec(const QString& sql) {
    ASSERT_TRUE(db.D_ExeSq(sql)) << sql.toStdString() << ": " << db.lastError().toStdString();
}

void SiteTest::page(int no, const QString& title, const QString& text, int collecting) {
    QString sql = QStringLiteral(
        "Insert Into msDoc (noDoc, szDoc, txDoc, boCod, dyUdt, wkRnd) Values (?, '?', '?', ?, ?, "
        "?)");
    db.T_CnvSq(sql, {no, title, text, collecting,
                     SqlDateLiteral(QDateTime(QDate(2024, 1, 1), QTime(9, 0)), G().IsJet), no});
    exec(sql);
    ASSERT_TRUE(db.execBound(QStringLiteral("Update msDoc Set obDoc=? Where noDoc=?"),
                             {text.toUtf8(), no}));
}

void SiteTest::place(int parent, int child, int order, const QString& label, int link, int hidden,
                     int guarded) {
    QString sql = QStringLiteral(
        "Insert Into tbTree (noLfP, noLfC, inSrt, szDoc, boLnk, boHide, boHogo, dyUdt) Values "
        "(?, ?, ?, '?', ?, ?, ?, ?)");
    db.T_CnvSq(sql, {parent, child, order, label, link, hidden, guarded,
                     SqlDateLiteral(QDateTime(QDate(2024, 1, 1), QTime(9, 0)), G().IsJet)});
    exec(sql);
}

void SiteTest::sample() {
    page(1001, QStringLiteral("トップ"), QStringLiteral("トップの本文"));
    page(1002, QStringLiteral("第1章"), QStringLiteral("第1章の本文"));
    page(1003, QStringLiteral("お知らせ"), QStringLiteral("お知らせの一覧"), 1);
    page(1004, QStringLiteral("お知らせA"), QStringLiteral("春の <知らせ> & 花"));
    page(1005, QStringLiteral("付録"), QStringLiteral("付録の本文"));
    page(1007, QStringLiteral("保護ページ"), QStringLiteral("保護の本文"));
    page(1008, QStringLiteral("下書き"), QStringLiteral("下書きの本文"));
    page(1009, QStringLiteral("下書き1"), QStringLiteral("下書き1の本文"));
    page(1010, QStringLiteral("お知らせB"), QStringLiteral("冬の知らせ"));
    page(1011, QStringLiteral("第2部"), QStringLiteral("第2部の本文"));
    place(0, 1001, 0, QStringLiteral("トップ"));
    place(1001, 1002, 0, QStringLiteral("第1章"));
    place(1002, 1005, 0, QStringLiteral("付録"));
    place(1001, 1003, 1, QStringLiteral("お知らせ"));
    place(1003, 1004, 0, QStringLiteral("お知らせA"));
    place(1003, 1010, 1, QStringLiteral("お知らせB"));
    place(1001, 1007, 2, QStringLiteral("保護ページ"), 0, 0, 1);
    place(1007, 1005, 0, QStringLiteral("付録リンク"), 1);
    place(0, 1008, 1, QStringLiteral("下書き"), 0, 1);
    place(1008, 1009, 0, QStringLiteral("下書き1"));
    place(0, 1011, 2, QStringLiteral("第2部"));
    exec(QStringLiteral("Insert Into tbHtm (noDoc, saTpl) Values (1001, 'main.htm')"));
}

web::SiteBuildReport SiteTest::build(web::UpdateMode mode, int currentPage, int currentParent,
                                     const QDateTime& since) {
    web::SiteBuildRequest request;
    request.mode = mode;
    request.currentPage = currentPage;
    request.currentParent = currentParent;
    request.since = since;
    web::SiteBuild site(conversion);
    site.setChunkSize(3);  // several chunks even in a small tree
    site.setThreads(2);
    return site.run(request);
}

QString SiteTest::siteFile(const QString& relative) const {
    QFile f(G().UserPath + QStringLiteral("Site/") + G().DbName + u'/' + relative);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QString::fromUtf8(bytes);
}

bool SiteTest::siteHas(const QString& relative) const {
    return QFileInfo::exists(G().UserPath + QStringLiteral("Site/") + G().DbName + u'/' + relative);
}

QDateTime SiteTest::published(int parent, int page) {
    return db
        .R_GtVaL(QStringLiteral("Select dyPub From tbTree Where noLfP=%1 And noLfC=%2")
                     .arg(parent)
                     .arg(page),
                 QDateTime())
        .toDateTime();
}

void SiteTest::ageTheSite() {
    const QString hourAgo = SqlDateLiteral(QDateTime::currentDateTime().addSecs(-3600), G().IsJet);
    QString sql = QStringLiteral("Update tbTree Set dyPub=? Where dyPub Is Not Null");
    db.T_CnvSq(sql, {hourAgo});
    exec(sql);
    sql = QStringLiteral("Update msDoc Set dyHtm=? Where dyHtm Is Not Null");
    db.T_CnvSq(sql, {hourAgo});
    exec(sql);
}

void SiteTest::touch(int page) {
    const QString later = SqlDateLiteral(QDateTime::currentDateTime().addSecs(-60), G().IsJet);
    QString sql = QStringLiteral("Update msDoc Set dyUdt=? Where noDoc=?");
    db.T_CnvSq(sql, {later, page});
    exec(sql);
    sql = QStringLiteral("Update tbTree Set dyUdt=? Where noLfC=?");
    db.T_CnvSq(sql, {later, page});
    exec(sql);
}

}  // namespace arbor::test
