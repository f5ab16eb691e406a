#include "web/style_sheet_editor_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QRegularExpression>
#include <array>

#include "app/file_io.h"
#include "app/program_state.h"
#include "web/site_build.h"
#include "web/site_folders.h"
#include "web/style_sheet_editor_gif.h"

namespace arbor::web {

namespace {

// Background picture widths: the fixed layout's page, or wide enough for any screen.
constexpr int kElasticBackgroundWidth = 2400;

QString readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QString::fromUtf8(bytes);
}

QString commonFolder() {
    return siteCommonFolder() + u'/';
}

// A folder of the site the pair goes into: there (made when missing) and writable.
bool writableFolder(const QString& file, QString& message) {
    const QString folder = QFileInfo(file).absolutePath();
    QDir().mkpath(folder);
    const QFileInfo info(folder);
    if (info.isDir() && info.isWritable())
        return true;
    message = QStringLiteral("ｻｲﾄのﾌｫﾙﾀﾞに書き込めません\n") + folder;
    return false;
}

// The picture, the style sheet and the template, all three or none: a file written before
// one that fails gets its old content back (or goes, when it is new).
bool writePair(CssDesign d, const DesignPaths& paths, const QString& naviHref, QString& message) {
    normaliseDesign(d);
    if (!writableFolder(paths.styleSheet, message) || !writableFolder(paths.templ, message))
        return false;
    const QByteArray gif = twoColumnGif(d.elastic ? kElasticBackgroundWidth : d.totalWidth,
                                        d.leftWidth, d.logoBack, d.mainBack);
    const QString css =
        generateStyleSheet(d, QFileInfo(paths.background).fileName(), additionsFor(d));
    const bool script = d.dropDown && QFileInfo::exists(commonFolder() + QStringLiteral("menu.js"));
    const QString page = generateTemplate(d, naviHref, script);

    struct Target {
        QString path;
        QByteArray bytes;
        QString failure;
    };
    const std::array<Target, 3> targets{{
        {paths.background, gif, QStringLiteral("背景の画像を作成できません")},
        {paths.styleSheet, css.toUtf8(), QStringLiteral("ｽﾀｲﾙｼｰﾄは作成されませんでした")},
        {paths.templ, page.toUtf8(), QStringLiteral("ﾃﾝﾌﾟﾚｰﾄﾞﾌｧｲﾙは作成されませんでした")},
    }};
    struct Written {
        QString path;
        QByteArray old;
        bool existed = false;
    };
    QList<Written> written;
    for (const Target& t : targets) {
        QByteArray old;
        bool existed = false;
        if (QFile f(t.path); f.open(QIODevice::ReadOnly)) {
            old = f.readAll();
            existed = true;
        }
        QString error;
        if (!writeFileAtomically(t.path, t.bytes, error)) {
            for (const Written& w : written) {
                if (w.existed)
                    writeFileAtomically(w.path, w.old);
                else
                    QFile::remove(w.path);
            }
            message = t.failure + u'\n' + error;
            return false;
        }
        written.push_back({t.path, old, existed});
    }
    return true;
}

// ---------------------------------------------------------------- reading a style sheet

int pixels(const QString& value) {
    static const QRegularExpression px(QStringLiteral("^\\s*(\\d+)\\s*px"));
    const QRegularExpressionMatch m = px.match(value);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QColor colourOf(const QString& value) {
    QString v = value.trimmed();
    if (v.isEmpty())
        return {};
    if (!v.startsWith(u'#') &&
        QRegularExpression(QStringLiteral("^[0-9A-Fa-f]{3}([0-9A-Fa-f]{3})?$")).match(v).hasMatch())
        v.prepend(u'#');
    const QColor c(v);
    return c.isValid() ? c : QColor();
}

bool boldOf(const QString& value) {
    const QString v = value.trimmed().toLower();
    return v == QStringLiteral("bold") || v == QStringLiteral("bolder") || v.toInt() >= 600;
}

using Rules = QHash<QString, QHash<QString, QString>>;

Rules parseRules(QString css) {
    static const QRegularExpression comment(QStringLiteral("/\\*.*?\\*/"),
                                            QRegularExpression::DotMatchesEverythingOption);
    css.remove(comment);
    Rules rules;
    static const QRegularExpression rule(QStringLiteral("([^{}]+)\\{([^{}]*)\\}"));
    for (auto it = rule.globalMatch(css); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString selector = m.captured(1).simplified();
        selector.replace(QStringLiteral(" ,"), QStringLiteral(","));
        selector.replace(QStringLiteral(", "), QStringLiteral(","));
        QHash<QString, QString>& decls = rules[selector];
        for (const QString& decl : m.captured(2).split(u';')) {
            const qsizetype colon = decl.indexOf(u':');
            if (colon <= 0)
                continue;
            decls.insert(decl.left(colon).trimmed().toLower(), decl.mid(colon + 1).trimmed());
        }
    }
    return rules;
}

void takeLabel(const Rules& rules, const QString& selector, LabelStyle& label) {
    const auto it = rules.constFind(selector);
    if (it == rules.constEnd())
        return;
    if (const QColor c = colourOf(it->value(QStringLiteral("color"))); c.isValid())
        label.text = c;
    if (const QColor c = colourOf(it->value(QStringLiteral("background-color"))); c.isValid())
        label.back = c;
    if (it->contains(QStringLiteral("font-weight")))
        label.bold = boldOf(it->value(QStringLiteral("font-weight")));
}

// The picture of an img element by its id: the name in "cmn" and its size.
void takePicture(const QString& page, const QString& id, QString& name, QSize& size) {
    name.clear();
    size = QSize();
    const QRegularExpression img(QStringLiteral("<img\\b[^>]*\\bid\\s*=\\s*\"%1\"[^>]*>").arg(id),
                                 QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = img.match(page);
    if (!m.hasMatch())
        return;
    const QString tag = m.captured(0);
    static const QRegularExpression src(QStringLiteral("src\\s*=\\s*\"(?:\\.\\./)?cmn/([^\"]+)\""),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression w(QStringLiteral("width\\s*=\\s*\"(\\d+)"));
    static const QRegularExpression h(QStringLiteral("height\\s*=\\s*\"(\\d+)"));
    const QRegularExpressionMatch s = src.match(tag);
    if (!s.hasMatch())
        return;
    name = s.captured(1);
    const QRegularExpressionMatch wm = w.match(tag);
    const QRegularExpressionMatch hm = h.match(tag);
    if (wm.hasMatch() && hm.hasMatch())
        size = QSize(wm.captured(1).toInt(), hm.captured(1).toInt());
}

bool sameFolder(const QString& file, const QString& folder) {
    return QDir(QFileInfo(file).absolutePath()).canonicalPath() == QDir(folder).canonicalPath() &&
           !QDir(folder).canonicalPath().isEmpty();
}

}  // namespace

DesignPaths designPaths(const CssDesign& d, bool preview) {
    return {commonFolder() + styleSheetName(d, preview),
            siteTemplateFolder() + templateName(d, preview),
            commonFolder() + backgroundName(d, preview)};
}

QString additionsFor(const CssDesign& d) {
    const QString own = designPaths(d).styleSheet;
    if (QFileInfo(own).isFile())
        return additionsOf(readText(own));
    const QString layout =
        d.elastic ? QStringLiteral("navi-el.css") : QStringLiteral("navi-fx.css");
    const QStringList candidates{commonFolder() + layout,
                                 G().UserPath + QStringLiteral("Site/Moto/cmn/") + layout,
                                 G().ApDataPath + QStringLiteral("Site/Moto/cmn/") + layout};
    for (const QString& path : candidates) {
        if (QFileInfo(path).isFile())
            return additionsOf(readText(path));
    }
    return {};
}

bool writeDesign(const CssDesign& design, QString& message) {
    if (const QString problem = designProblem(design); !problem.isEmpty()) {
        message = problem;
        return false;
    }
    const DesignPaths paths = designPaths(design);
    if (!writePair(design, paths, QStringLiteral("../cmn/") + styleSheetName(design), message))
        return false;
    message = paths.templ + QStringLiteral(" と対応するｽﾀｲﾙｼｰﾄ\n") + paths.styleSheet +
              QStringLiteral(" を作成しました");
    return true;
}

bool writePreviewDesign(const CssDesign& design, QString& message) {
    if (const QString problem = designProblem(design); !problem.isEmpty()) {
        message = problem;
        return false;
    }
    return writePair(design, designPaths(design, true),
                     QStringLiteral("../cmn/") + styleSheetName(design, true), message);
}

bool previewDesign(SiteConversion& conversion, const CssDesign& design, int page, int parent,
                   QString& shownFile, QString& message) {
    const DesignPaths paths = designPaths(design, true);
    shownFile = paths.templ;
    if (!writePreviewDesign(design, message))
        return false;
    if (page <= 0)
        return true;
    SiteBuildRequest request;
    request.mode = UpdateMode::TemplatePreview;
    request.currentPage = page;
    request.currentParent = parent;
    SiteBuild build(conversion);
    const SiteBuildReport report = build.run(request);
    if (!report.started) {
        message = report.message;
        return false;
    }
    if (!report.problems.isEmpty())
        message = report.problems.join(u'\n');
    return true;
}

bool readDesign(const QString& templatePath, CssDesign& design, QString& message) {
    const QString folder = siteTemplateFolder();
    if (!sameFolder(templatePath, folder)) {
        message =
            QStringLiteral("ﾃﾝﾌﾞﾚｰﾄは既定のﾌｫﾙﾀﾞ(") + folder + QStringLiteral(")に置いて下さい");
        return false;
    }
    const QString page = readText(templatePath);
    if (page.isEmpty()) {
        message = templatePath + QStringLiteral(" を読めません");
        return false;
    }
    static const QRegularExpression navi(
        QStringLiteral("<link\\b[^>]*href\\s*=\\s*\"(?:\\.\\./)?cmn/(navi[^\"/]*\\.css)\""),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch link = navi.match(page);
    if (!link.hasMatch()) {
        message = QStringLiteral("ﾃﾝﾌﾟﾚｰﾄにｽﾀｲﾙｼｰﾄ(navi*.css)へのﾘﾝｸがありません");
        return false;
    }
    const QString cssPath = commonFolder() + link.captured(1);
    const QString css = readText(cssPath);
    if (css.isEmpty()) {
        message = cssPath + QStringLiteral(" を読めません");
        return false;
    }

    CssDesign d = defaultDesign();
    static const QRegularExpression tplName(QStringLiteral("^tpl(-fx|-el)(?:_(.+))?\\.htm$"));
    static const QRegularExpression cssName(QStringLiteral("^navi(-fx|-el)(?:_(.+))?\\.css$"));
    QRegularExpressionMatch name = tplName.match(QFileInfo(templatePath).fileName());
    if (!name.hasMatch())
        name = cssName.match(link.captured(1));
    // The user's additions come after the generated part and are not the design's.
    const QString main = css.left(css.size() - additionsOf(css).size());
    const Rules rules = parseRules(main);
    d.elastic = name.hasMatch() ? name.captured(1) == QStringLiteral("-el")
                                : rules.contains(QStringLiteral("html"));
    d.id = name.hasMatch() ? name.captured(2) : QString();

    // The column colours live only in the comments beside the columns.
    static const QRegularExpression columnColour(
        QStringLiteral("/\\*\\s*(vLeft|vRight)\\s+background-color\\s*:\\s*#?([0-9A-Fa-f]{6}|"
                       "[0-9A-Fa-f]{3})\\s*\\*/"));
    for (auto it = columnColour.globalMatch(main); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        (m.captured(1) == QStringLiteral("vLeft") ? d.logoBack : d.mainBack) =
            colourOf(m.captured(2));
    }
    auto value = [&](const QString& selector, const QString& property) {
        return rules.value(selector).value(property);
    };
    if (const int w = pixels(value(QStringLiteral("div#vBase"), QStringLiteral("width"))); w > 0)
        d.totalWidth = w;
    if (const int w = pixels(value(QStringLiteral("div#vLeft"), QStringLiteral("width"))); w > 0)
        d.leftWidth = w;
    if (const int h = pixels(value(QStringLiteral("div#dTitle"), QStringLiteral("height"))); h > 0)
        d.headerHeight = h;
    else if (const int l = pixels(value(QStringLiteral("div#dLogo"), QStringLiteral("height")));
             l > 0)
        d.headerHeight = l;
    if (const QColor c =
            colourOf(value(QStringLiteral("div#dTitle"), QStringLiteral("background-color")));
        c.isValid())
        d.titleBack = c;
    if (const QColor c =
            colourOf(value(QStringLiteral("div#dTop"), QStringLiteral("background-color")));
        c.isValid())
        d.topBack = c;
    d.dropDown = false;
    for (auto it = rules.constBegin(); it != rules.constEnd(); ++it)
        if (it.key().contains(QStringLiteral("ul.sub")))
            d.dropDown = true;
    if (const int w = pixels(value(QStringLiteral("ul#uTop li"), QStringLiteral("width"))); w > 0)
        d.topItemWidth = w;
    takeLabel(rules, QStringLiteral("ul#uTop li a"), d.top);
    takeLabel(rules, QStringLiteral("ul#uTop li a:hover"), d.topHover);
    takeLabel(rules, QStringLiteral("ul#uTop li.now a"), d.topNow);
    takeLabel(rules, QStringLiteral("ul#uTop ul.sub li a"), d.drop);
    takeLabel(rules, QStringLiteral("ul#uTop ul.sub li a:hover"), d.dropHover);
    takeLabel(rules, QStringLiteral("ul#uLeft li a"), d.left);
    takeLabel(rules, QStringLiteral("ul#uLeft li a:hover,ul#uLeft li.lp_now a:hover"), d.leftHover);
    takeLabel(rules, QStringLiteral("ul#uLeft li.lc_now a"), d.leftNow);
    takeLabel(rules, QStringLiteral("div#dPan a"), d.pan);
    takeLabel(rules, QStringLiteral("div#dPan a:hover"), d.panHover);
    // The labels of the columns and the bar show on their backgrounds.
    d.top.back = d.topNow.back = d.topBack;
    d.left.back = d.leftNow.back = d.logoBack;
    d.pan.back = d.mainBack;
    takePicture(page, QStringLiteral("iLogo"), d.logo, d.logoSize);
    takePicture(page, QStringLiteral("iTitle"), d.title, d.titleSize);
    design = d;
    return true;
}

bool inCommonFolder(const QString& path) {
    return sameFolder(path, commonFolder());
}

QString commonFolderCopy(const QString& path) {
    const QString copy = commonFolder() + QFileInfo(path).fileName();
    return QFileInfo(copy).isFile() ? copy : QString();
}

bool copyIntoCommonFolder(const QString& path, QString& error) {
    QDir().mkpath(commonFolder());
    if (!copyFileReplacing(path, commonFolder() + QFileInfo(path).fileName())) {
        error = QStringLiteral("画像を cmn ﾌｫﾙﾀﾞに複写できません: ") + path;
        return false;
    }
    return true;
}

QSize pictureSize(const QString& path) {
    QImageReader reader(path);
    return reader.canRead() ? reader.size() : QSize();
}

QString pictureProblem(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (!QStringList{QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
                     QStringLiteral("gif")}
             .contains(suffix))
        return QStringLiteral("画像ﾌｧｲﾙ(*.JPG;*.JPEG;*.PNG;*.GIF)を指定して下さい: ") + path;
    QImageReader reader(path);
    if (!QFileInfo(path).isFile() || !reader.canRead() || !reader.size().isValid())
        return QStringLiteral("画像として読めません: ") + path;
    return {};
}

}  // namespace arbor::web
