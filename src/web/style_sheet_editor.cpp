#include "web/style_sheet_editor.h"

#include <QRegularExpression>

namespace arbor::web {

namespace {

const QString kAdditions = QStringLiteral("/* 追加指定 */");

// The text conventions of both generated files: "@" four blanks, "|" CR LF, "~" a double
// quote, and "?" the next value.
class Filler {
  public:
    // Adds the text in its conventions, with its "?" slots filled by the values as they are.
    Filler& add(const QString& text, const QStringList& values = {}) {
        QString t = text;
        t.replace(u'@', QStringLiteral("    "));
        t.replace(u'|', QStringLiteral("\r\n"));
        t.replace(u'~', u'"');
        qsizetype at = 0;
        for (const QString& v : values) {
            at = t.indexOf(u'?', at);
            if (at < 0)
                break;
            t.replace(at, 1, v);
            at += v.size();
        }
        out_ += t;
        return *this;
    }
    const QString& text() const { return out_; }

  private:
    QString out_;
};

QString weight(bool bold) {
    return bold ? QStringLiteral("bold") : QStringLiteral("normal");
}

QString n(int value) {
    return QString::number(value);
}

LabelStyle label(const char* text, const char* back, bool bold) {
    return {QColor(QString::fromLatin1(text)), QColor(QString::fromLatin1(back)), bold};
}

double luminance(const QColor& c) {
    return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue();
}

bool isLight(const QColor& c) {
    return luminance(c) > 150;
}

}  // namespace

bool CssDesign::operator==(const CssDesign& o) const {
    return id == o.id && elastic == o.elastic && totalWidth == o.totalWidth &&
           leftWidth == o.leftWidth && headerHeight == o.headerHeight && logo == o.logo &&
           logoSize == o.logoSize && title == o.title && titleSize == o.titleSize &&
           topItemWidth == o.topItemWidth && dropDown == o.dropDown && titleBack == o.titleBack &&
           topBack == o.topBack && mainBack == o.mainBack && logoBack == o.logoBack &&
           top == o.top && topHover == o.topHover && topNow == o.topNow && drop == o.drop &&
           dropHover == o.dropHover && left == o.left && leftHover == o.leftHover &&
           leftNow == o.leftNow && pan == o.pan && panHover == o.panHover;
}

CssDesign defaultDesign() {
    CssDesign d;
    d.logo = QStringLiteral("logo.png");
    d.logoSize = QSize(48, 48);
    d.titleBack = QColor(0x1F, 0x3A, 0x5F);
    d.topBack = QColor(0x2E, 0x5C, 0x8A);
    d.mainBack = QColor(0xFF, 0xFF, 0xFF);
    d.logoBack = QColor(0xF2, 0xF5, 0xF9);
    d.top = label("#FFFFFF", "#2E5C8A", false);
    d.topHover = label("#1F3A5F", "#FFFFFF", true);
    d.topNow = label("#FFE08A", "#2E5C8A", true);
    d.drop = label("#1F3A5F", "#FFFFFF", false);
    d.dropHover = label("#FFFFFF", "#2E5C8A", false);
    d.left = label("#1F3A5F", "#F2F5F9", false);
    d.leftHover = label("#D96C2B", "#FFFFFF", false);
    d.leftNow = label("#000000", "#F2F5F9", true);
    d.pan = label("#2E5C8A", "#FFFFFF", false);
    d.panHover = label("#FFFFFF", "#2E5C8A", false);
    return d;
}

void normaliseDesign(CssDesign& d) {
    d.id = d.id.trimmed();
    if (d.topItemWidth > 100)
        d.topItemWidth = 100;
}

QString designProblem(const CssDesign& d) {
    static const QRegularExpression idPattern(QStringLiteral("^[A-Za-z0-9_-]{0,32}$"));
    if (!idPattern.match(d.id).hasMatch())
        return QStringLiteral("IDには半角の英数字と \"-\" \"_\" (32文字まで) を使って下さい");
    if (d.leftWidth < 60 || d.leftWidth > 800)
        return QStringLiteral("ﾛｺﾞ部の巾は 60 から 800 px の間で指定して下さい");
    if (!d.elastic && (d.totalWidth < d.leftWidth + 200 || d.totalWidth > 4000))
        return QStringLiteral("全体巾は ﾛｺﾞ部の巾 + 200 から 4000 px の間で指定して下さい");
    if (d.headerHeight < 20 || d.headerHeight > 600)
        return QStringLiteral("ﾀｲﾄﾙ部の高さは 20 から 600 px の間で指定して下さい");
    if (d.topItemWidth < 20)
        return QStringLiteral("上ﾒﾆｭｰの巾は 20 から 100 px の間で指定して下さい");
    for (const QString& name : {d.logo, d.title})
        if (name.contains(u'/') || name.contains(u'\\') || name.contains(u'"') ||
            name.contains(u'<') || name.contains(u'>') || name.contains(u'&') ||
            name.contains(QStringLiteral("..")))
            return QStringLiteral("画像はｻｲﾄの cmn ﾌｫﾙﾀﾞのﾌｧｲﾙ名で指定して下さい: ") + name;
    if (!d.logo.isEmpty() && d.logoSize.isValid() && d.logoSize.width() > d.leftWidth - 5)
        return QStringLiteral("ﾛｺﾞの画像のｻｲｽﾞは全体巾(%1)より 5px 以上少なめにして下さい")
            .arg(d.leftWidth);
    if (!d.title.isEmpty() && d.titleSize.isValid() && d.titleSize.height() > d.headerHeight)
        return QStringLiteral("ﾀｲﾄﾙの画像の高さは全体高(%1)以下にして下さい").arg(d.headerHeight);
    return {};
}

bool parseWidthField(const QString& text, int low, int high, int& value) {
    static const QRegularExpression digits(QStringLiteral("^\\s*(\\d{1,5})\\s*(px)?\\s*$"));
    const QRegularExpressionMatch m = digits.match(text);
    if (!m.hasMatch())
        return false;
    const int n = m.captured(1).toInt();
    if (n < low || n > high)
        return false;
    value = n;
    return true;
}

QColor parseColourField(const QString& text) {
    QString t = text.trimmed();
    if (t.startsWith(u'#'))
        t.remove(0, 1);
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{6}$"));
    if (t.size() == 3)
        return shortColour(t);
    if (!hex.match(t).hasMatch())
        return {};
    return QColor(u'#' + t);
}

QString designPart(const CssDesign& d) {
    QString part = d.elastic ? QStringLiteral("-el") : QStringLiteral("-fx");
    if (!d.id.trimmed().isEmpty())
        part += u'_' + d.id.trimmed();
    return part;
}

QString styleSheetName(const CssDesign& d, bool preview) {
    return QStringLiteral("navi") + (preview ? QStringLiteral("_wrk") : designPart(d)) +
           QStringLiteral(".css");
}

QString templateName(const CssDesign& d, bool preview) {
    return QStringLiteral("tpl") + (preview ? QStringLiteral("_wrk") : designPart(d)) +
           QStringLiteral(".htm");
}

QString backgroundName(const CssDesign& d, bool preview) {
    return QStringLiteral("back") + (preview ? QStringLiteral("_wrk") : designPart(d)) +
           QStringLiteral(".gif");
}

QString cssHex(const QColor& colour) {
    const QColor c = colour.isValid() ? colour : QColor(Qt::black);
    return QStringLiteral("%1%2%3")
        .arg(c.red(), 2, 16, QChar(u'0'))
        .arg(c.green(), 2, 16, QChar(u'0'))
        .arg(c.blue(), 2, 16, QChar(u'0'))
        .toUpper();
}

QString generateStyleSheet(const CssDesign& d, const QString& backgroundFile,
                           const QString& additions) {
    Filler f;
    const QString background =
        QStringLiteral("@background-image: url('?');|@background-repeat: repeat-y;|}|");
    const QString leftColour = cssHex(d.logoBack);
    const QString mainColour = cssHex(d.mainBack);
    if (d.elastic) {
        f.add(QStringLiteral("html {|@overflow:    Scroll|}|"));
        f.add(QStringLiteral("div#vBase {|@float:left;|@width: 100%;|") + background,
              {backgroundFile});
        f.add(QStringLiteral("div#vBack {|@float:left;|@width: 100%;|}|"));
        // The left column floats in its place: a margin of -100% would put it beside the
        // page, out of sight, since it comes first in the template.
        f.add(QStringLiteral("div#vLeft {|@float:left;|@width: ?px;|}|"), {n(d.leftWidth)});
        f.add(QStringLiteral("/* vLeft background-color:#? */|"), {leftColour});
        f.add(QStringLiteral("div#vRight {|@margin-left: ?px;|}|"), {n(d.leftWidth)});
        f.add(QStringLiteral("/* vRight background-color:#? */|"), {mainColour});
    } else {
        const int right = d.totalWidth - d.leftWidth;
        f.add(QStringLiteral("div#vBase {|@width: ?px;|@margin: 10px auto 0;|}|"),
              {n(d.totalWidth)});
        f.add(QStringLiteral("div#vBack {|@float:left;|@width: 100%;|") + background,
              {backgroundFile});
        f.add(QStringLiteral("div#vLeft {|@float:left;|@width: ?px;|}|"), {n(d.leftWidth)});
        f.add(QStringLiteral("/* vLeft background-color:#? */|"), {leftColour});
        f.add(QStringLiteral("div#vRight {|@float:right;|@width: ?px;|}|"), {n(right)});
        f.add(QStringLiteral("/* vRight background-color:#? */|"), {mainColour});
        f.add(QStringLiteral("* html div#vRight {|@width: ?px;|}|"), {n(right)});
    }
    f.add(QStringLiteral("div#dLogo {|@height: ?px;|@text-align: center;|}|"), {n(d.headerHeight)});
    f.add(QStringLiteral(
              "div#dTitle {|@height: ?px;|@background-color:#?;|@background-position: center;|}|"),
          {n(d.headerHeight), cssHex(d.titleBack)});
    f.add(QStringLiteral("div#dTop {|@height: 20px;|@background-color: #?;|@margin: 0;|}|"),
          {cssHex(d.topBack)});
    f.add(QStringLiteral("div#dLeft {|@float: left;|}|"));
    f.add(QStringLiteral("img#iTitle {|@margin-left:10px;|}|"));

    f.add(QStringLiteral("/* Top 上のﾒﾆｭｰ */|"));
    if (d.dropDown) {
        f.add(QStringLiteral(
            "ul#uTop {|@float:left;|@width:100%;|@padding:0 0 0 16px;|@list-style:none;|}|"));
        f.add(QStringLiteral("ul#uTop li {|@float:left;|@width:?px;|@text-align: center;|@ "
                             "position:relative;|}|"),
              {n(d.topItemWidth)});
        f.add(QStringLiteral("ul#uTop li a {|@font-family: ~ＭＳ Ｐゴシック~, Arial, sans-serif;|@"
                             "font-size: small;|@color: #?;|@display: block;|}|"),
              {cssHex(d.top.text)});
        f.add(QStringLiteral(
                  "ul#uTop li a:hover {|@color:#?;|@background-color: #?;|@font-weight: ?;|}|"),
              {cssHex(d.topHover.text), cssHex(d.topHover.back), weight(d.topHover.bold)});
        f.add(QStringLiteral("ul#uTop li.now a {|@color: #?;|@font-weight: ?;|}|"),
              {cssHex(d.topNow.text), weight(d.topNow.bold)});
        f.add(QStringLiteral("/* Top 上のｻﾌﾞﾒﾆｭｰ */|"));
        f.add(
            QStringLiteral("ul#uTop li ul.sub {|@list-style:none;|@border-left:1px solid "
                           "#DCCBC0;|@border-right:1px solid #DCCBC0;|@"
                           "position:absolute;|@left:-9999px;|}|"));
        f.add(QStringLiteral("ul#uTop li:hover ul.sub {|@/width:?px;|@left:auto;|@z-index:10;|}|"),
              {n(180)});
        f.add(
            QStringLiteral("ul#uTop ul.sub li {|@width:100%;|@height:100%;|@text-align:left;|}|"));
        f.add(QStringLiteral("ul#uTop ul.sub li a {|@display:block;|@padding:5px 10px;|@"
                             "text-decoration:none;|@color: #?;|@background-color: #?;|@"
                             "white-space:nowrap;|@border-bottom:1px solid #DCDCDC;|}|"),
              {cssHex(d.drop.text), cssHex(d.drop.back)});
        f.add(QStringLiteral("ul#uTop ul.sub li a:hover {|@color:#?;|@background-color: #?;|@"
                             "font-weight: ?;|}|"),
              {cssHex(d.dropHover.text), cssHex(d.dropHover.back), weight(d.dropHover.bold)});
    } else {
        f.add(QStringLiteral("ul#uTop {|@list-style: none;|@margin: 0 0 0 10px;|}|"));
        f.add(QStringLiteral("ul#uTop li{|@display: inline;|@padding: 10px;|}|"));
        f.add(QStringLiteral("ul#uTop li a {|@color: #? ;|}|"), {cssHex(d.top.text)});
        f.add(QStringLiteral(
                  "ul#uTop li a:hover {|@color:#?;|@font-weight: ?;|@background-color: #?;|}|"),
              {cssHex(d.topHover.text), weight(d.topHover.bold), cssHex(d.topHover.back)});
        f.add(QStringLiteral("ul#uTop li.now a {|@color: #?;|@font-weight: ?;|}|"),
              {cssHex(d.topNow.text), weight(d.topNow.bold)});
        f.add(QStringLiteral("ul#uTop li.now a:hover {|@color: #?;|}|"), {cssHex(d.topNow.text)});
    }

    const QStringList leftHover{cssHex(d.leftHover.text), cssHex(d.leftHover.back),
                                weight(d.leftHover.bold)};
    f.add(QStringLiteral("/* Left 左のﾒﾆｭｰ */|"));
    f.add(QStringLiteral("ul#uLeft {|@margin: 3px 3px 20px 10px;|@padding: 0;|}|"));
    f.add(
        QStringLiteral("ul#uLeft li {|@font-family: ~ＭＳ Ｐゴシック~, Arial, sans-serif;|@"
                       "font-size: 85%;|@list-style: none;|@margin: 0;|@padding: 0;|}|"));
    f.add(QStringLiteral("ul#uLeft li a {|@color: #?;|@padding: 0 0 0 2px;|}|"),
          {cssHex(d.left.text)});
    f.add(QStringLiteral("ul#uLeft li a:hover,ul#uLeft li.lp_now a:hover {|@"
                         "color:#?;|@background-color: #?;|@font-weight: ?;|}|"),
          leftHover);
    f.add(QStringLiteral("ul#uLeft li.lc a:hover,ul#uLeft li.lc_now a:hover {|@"
                         "color:#?;|@background-color: #?;|@font-weight: ?;|@"
                         "background-image: url('arrows_hv.gif');|@background-repeat: "
                         "no-repeat;|@margin-left: 10px;|}|"),
          leftHover);
    f.add(
        QStringLiteral("ul#uLeft li.lc a ,ul#uLeft li.lc_now a {|@"
                       "background-position: left;|@padding: 0 0 0 10px;|@background-image: "
                       "url('arrows.gif');|@background-repeat: no-repeat;|@margin-left: "
                       "10px;|}|"));
    f.add(QStringLiteral("ul#uLeft li.lc_now a {|@color: #?;|@font-weight: ?;|}|"),
          {cssHex(d.leftNow.text), weight(d.leftNow.bold)});
    f.add(QStringLiteral("ul#uLeft li.lp_now a {|@color: #?;|@font-weight: ?;|}|"),
          {cssHex(d.leftNow.text), weight(d.leftNow.bold)});
    f.add(
        QStringLiteral("ul#uLeft li.lp_nxt a {|@background-position: left;|@"
                       "padding: 0 0 0 20px;|@background-image: url('arrows_rv.gif');|@"
                       "background-repeat: no-repeat;|@margin-left: -10px;|}|"));
    f.add(QStringLiteral("/* 本文 */|"));
    f.add(QStringLiteral("div#dMain {|@padding-left: 10px;|}|"));
    f.add(QStringLiteral("/* ﾊﾟﾝ屑ﾘｽﾄ */|"));
    f.add(QStringLiteral("div#dPan {|@padding-left: 30px;|@margin-bottom: 10px;|}|"));
    f.add(QStringLiteral("div#dPan a {|@color:#?;|}|"), {cssHex(d.pan.text)});
    f.add(
        QStringLiteral("div#dPan a:hover {|@color:#?;|@font-weight: ?;|@background-color: #?;|}|"),
        {cssHex(d.panHover.text), weight(d.panHover.bold), cssHex(d.panHover.back)});
    return f.text() + additions;
}

QString generateTemplate(const CssDesign& d, const QString& naviHref, bool script) {
    auto size = [](const QSize& s) {
        return s.isValid() && !s.isEmpty()
                   ? QStringLiteral("width=\"%1px\" height=\"%2px\"").arg(s.width()).arg(s.height())
                   : QString();
    };
    Filler f;
    f.add(QStringLiteral(
        "<!DOCTYPE html PUBLIC ~-//W3C//DTD HTML 4.01 Transitional//EN~ "
        "~http://www.w3.org/TR/html4/loose.dtd~>|<html>|<head>|"
        "<meta http-equiv=~Content-Type~ content=~text/html; charset=utf-8~>|"
        "<meta http-equiv=~Content-Language~ content=~ja~>|<title>タイトル</title>|"
        "<link rel=~stylesheet~ type=~text/css~ href=~../cmn/page.css~ media=~all~>|"));
    f.add(QStringLiteral("<link rel=~stylesheet~ type=~text/css~ href=~?~ media=~all~>|"),
          {naviHref});
    f.add(
        QStringLiteral("<link rel=~stylesheet~ type=~text/css~ href=~../cmn/print.css~ "
                       "media=~print~>|</head>|<body>|"));
    // The start tag of vBack stays on one line: the site build finds it as written.
    f.add(
        QStringLiteral("<div id=~vBase~>|<div id=~vBack~>|@<div id=~vLeft~>|@@<div id=~dLogo~>|"));
    if (!d.logo.isEmpty())
        f.add(QStringLiteral("@@@<img id=~iLogo~ alt=~TopPage~ src=~../cmn/?~ ? >|"),
              {d.logo, size(d.logoSize)});
    f.add(
        QStringLiteral("@@</div>|@@<div id=~dLeft~>|@@@<ul id=~uLeft~>|"
                       "@@@@<li><a href=~1001.htm~>Link1001</a></li>|@@@</ul>|@@</div>|"
                       "@@<div id=~dOpt~>|@@<!-- / dOpt --></div>|@<!-- / vLeft --></div>|"
                       "@<div id=~vRight~ >|@@<div id=~dTitle~>|"));
    if (!d.title.isEmpty())
        f.add(QStringLiteral("@@@<img id=~iTitle~ alt=~title~ src=~../cmn/?~ ?>|"),
              {d.title, size(d.titleSize)});
    else
        f.add(QStringLiteral("@@@<span id=~sTitle~>サイトの名前</span>|"));
    f.add(QStringLiteral("@@</div>|@@<div id=~dTop~>|"));
    f.add(d.dropDown ? QStringLiteral("@@@<!-- uTop DropDown -->|")
                     : QStringLiteral("@@@<!-- uTop -->|"));
    f.add(QStringLiteral(
        "@@@<ul id=~uTop~>|"
        "@@@@<li class=~now~><a href=~index.html~>はじめに</a></li>|@@@</ul>|"
        "@@</div>|@@<div id=~dPan~>|"
        "@@@<a href=~index.html~>はじめに</a> &gt;|@@@<a href=~1002.htm~>Link1002</a>|"
        "@@</div>|@@<div id=~dMain~>|@@@Contents|@@</div>|@<!-- / vRight --></div>|"
        "<!-- / vBack --></div>|<!-- / vBase --></div>|"));
    if (script)
        f.add(QStringLiteral("<script type=~text/javascript~ src=~../cmn/menu.js~></script>|"));
    f.add(QStringLiteral("</body>|</html>|"));
    return f.text();
}

QString additionsOf(const QString& styleSheet) {
    const qsizetype at = styleSheet.indexOf(kAdditions);
    return at < 0 ? QString() : styleSheet.mid(at);
}

// ---------------------------------------------------------------- colour presets

namespace {

struct Preset {
    const char16_t* name;
    const char16_t* groups;
};

constexpr std::array<Preset, 9> kPresets = {{
    {u"Red",
     u"F33,FF6,FFF|C33,F33,FFF|906,C69,F69|C00,F9C,FCC|660,966,600|933,F66,C66|C0C,F66,C33|C99,FCC,"
     u"933"},
    {u"Blue",
     u"00C,FFC,09F|009,669,CCC|3CF,69F,FFF|36C,9CF,FFF|999,69C,369|9CF,9CC,FFF|36C,66C,FFF|069,036,"
     u"009"},
    {u"Green",
     u"096,FF9,FFF|6C9,CFF,FFF|6C9,CFF,FFF|999,FFF,366|363,9CC,CCC|FFC,FFF,9C9|993,CC9,999|393,FFC,"
     u"CFC"},
    {u"Yellow", u"FF0,CF3,FFF|C69,F96,FF0|CFC,CCF,FF9|FC9,FCC,FF9"},
    {u"Orange", u"F60,FF6,FFF|F60,C33,FFC|C60,C99,FC9|663,933,C63"},
    {u"Pink", u"F9C,FFC,FCC|F69,CFC,CFF|FC9,CFF,FCC|F99,FC9,FFC"},
    {u"Black", u"333,C33,FF6|333,666,CCC|039,366,003|000,036,666"},
    {u"Brown", u"C90,CC9,966|333,366,633|630,366,C93|C93,C99,FFF"},
    {u"Purple", u"609,636,FFF|939,606,639|606,C33,909|90C,F39,F6C"},
}};

}  // namespace

QStringList presetNames() {
    QStringList names;
    for (const Preset& p : kPresets)
        names << QString::fromUtf16(p.name);
    return names;
}

QColor shortColour(const QString& text) {
    const QString t = text.trimmed();
    if (t.size() != 3)
        return {};
    int c[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const int digit = t.mid(i, 1).toInt(&ok, 16);
        if (!ok)
            return {};
        c[i] = digit * 17;
    }
    return QColor(c[0], c[1], c[2]);
}

QList<std::array<QColor, 3>> presetGroups(const QString& name) {
    QList<std::array<QColor, 3>> groups;
    for (const Preset& p : kPresets) {
        if (QString::fromUtf16(p.name) != name)
            continue;
        for (const QString& group : QString::fromUtf16(p.groups).split(u'|')) {
            const QStringList colours = group.split(u',');
            if (colours.size() == 3)
                groups.push_back(
                    {shortColour(colours[0]), shortColour(colours[1]), shortColour(colours[2])});
        }
    }
    return groups;
}

void applyPresetGroup(CssDesign& d, const std::array<QColor, 3>& group) {
    d.titleBack = group[0];
    d.logoBack = group[1];
    d.topBack = group[2];
    // The menus' own colours follow the new areas, so that they stay readable on them.
    const QColor dark(0x1A, 0x1A, 0x1A), white(Qt::white);
    const bool lightBar = isLight(d.topBack);
    d.top.text = lightBar ? dark : white;
    d.top.back = d.topBack;
    d.topNow = {lightBar ? QColor(Qt::black) : QColor(0xFF, 0xE0, 0x8A), d.topBack, true};
    d.topHover = {d.topBack, lightBar ? QColor(0x33, 0x33, 0x33) : white, true};
    d.dropHover = {white, lightBar ? QColor(0x33, 0x33, 0x33) : d.topBack, false};
    const bool lightColumn = isLight(d.logoBack);
    d.left.text = lightColumn ? QColor(0x1F, 0x3A, 0x5F) : white;
    d.left.back = d.logoBack;
    d.leftNow = {lightColumn ? QColor(Qt::black) : QColor(0xFF, 0xE0, 0x8A), d.logoBack, true};
}

int stepGroup(int index, int step, int count) {
    if (count <= 0)
        return 0;
    return ((index + step) % count + count) % count;
}

QString colourSummary(const CssDesign& d) {
    auto line = [](const QString& area, const QColor& c) -> QString {
        return area + QStringLiteral(" (%1, %2, %3) web:#%4\r\n")
                          .arg(c.red())
                          .arg(c.green())
                          .arg(c.blue())
                          .arg(cssHex(c));
    };
    return line(QStringLiteral("ﾀｲﾄﾙ部 "), d.titleBack) +
           line(QStringLiteral("ﾛｺﾞ部  "), d.logoBack) +
           line(QStringLiteral("上ﾒﾆｭｰ部"), d.topBack) +
           line(QStringLiteral("本文部 "), d.mainBack);
}

}  // namespace arbor::web
