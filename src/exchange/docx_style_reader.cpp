#include "exchange/docx_style_reader.h"

#include <QSet>
#include <QXmlStreamReader>

#include "exchange/docx_styles.h"
#include "exchange/wml_read.h"

namespace arbor::docx {

namespace {

constexpr int kMaxChain = 32;

QLatin1String name1(const char* s) {
    return QLatin1String(s);
}

// a:majorFont / a:minorFont: the Latin face and the East-Asian one (the "ea" entry, or
// the Japanese script font when that is empty).
void readThemeFontGroup(QXmlStreamReader& r, QString& latin, QString& eastAsia) {
    QString japanese;
    while (r.readNextStartElement()) {
        const QString face = wml::plainAttr(r, name1("typeface"));
        if (r.name() == name1("latin"))
            latin = face;
        else if (r.name() == name1("ea"))
            eastAsia = face;
        else if (r.name() == name1("font") && wml::plainAttr(r, name1("script")) == name1("Jpan"))
            japanese = face;
        r.skipCurrentElement();
    }
    if (eastAsia.isEmpty())
        eastAsia = japanese;
}

}  // namespace

ThemeFonts readThemeFonts(const QByteArray& xml) {
    ThemeFonts fonts;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        if (r.name() == name1("majorFont"))
            readThemeFontGroup(r, fonts.majorLatin, fonts.majorEastAsia);
        else if (r.name() == name1("minorFont"))
            readThemeFontGroup(r, fonts.minorLatin, fonts.minorEastAsia);
    }
    return fonts;
}

void StyleSheet::read(const QByteArray& xml, const ThemeFonts& theme) {
    QXmlStreamReader r(xml);
    if (!r.readNextStartElement() || !wml::isW(r, name1("styles")))
        return;
    while (r.readNextStartElement()) {
        if (wml::isW(r, name1("docDefaults"))) {
            while (r.readNextStartElement()) {
                if (wml::isW(r, name1("rPrDefault")) || wml::isW(r, name1("pPrDefault"))) {
                    while (r.readNextStartElement()) {
                        if (wml::isW(r, name1("rPr")))
                            readRunProperties(r, theme, docChars_);
                        else if (wml::isW(r, name1("pPr")))
                            readParagraphProperties(r, theme, docBlock_, nullptr);
                        else
                            r.skipCurrentElement();
                    }
                } else {
                    r.skipCurrentElement();
                }
            }
            continue;
        }
        if (!wml::isW(r, name1("style"))) {
            r.skipCurrentElement();
            continue;
        }
        Def def;
        def.table = bareTableFormat();
        def.type = wml::wAttr(r, name1("type"));
        const QString id = wml::wAttr(r, name1("styleId"));
        def.id = id;
        const QString defaultFlag = wml::wAttr(r, name1("default"));
        const bool isDefault =
            defaultFlag == name1("1") || defaultFlag == name1("true") || defaultFlag == name1("on");
        while (r.readNextStartElement()) {
            if (!wml::isW(r)) {
                r.skipCurrentElement();
                continue;
            }
            if (r.name() == name1("name")) {
                def.name = wml::wAttr(r, name1("val"));
            } else if (r.name() == name1("basedOn")) {
                def.basedOn = wml::wAttr(r, name1("val"));
            } else if (r.name() == name1("pPr")) {
                readParagraphProperties(r, theme, def.block, nullptr);
                continue;
            } else if (r.name() == name1("rPr")) {
                readRunProperties(r, theme, def.chars);
                continue;
            } else if (r.name() == name1("tblPr")) {
                TableExtras extras;
                readTableProperties(r, def.table, &extras);
                def.tableBorders = extras.bordersGiven;
                continue;
            }
            r.skipCurrentElement();
        }
        if (id.isEmpty() || defs_.contains(id))
            continue;
        if (isDefault && def.type == name1("paragraph") && defaultParagraph_.isEmpty())
            defaultParagraph_ = id;
        if (isDefault && def.type == name1("table") && defaultTable_.isEmpty())
            defaultTable_ = id;
        defs_.insert(id, def);
    }
}

std::vector<const StyleSheet::Def*> StyleSheet::chain(const QString& styleId) const {
    std::vector<const Def*> leafFirst;
    QSet<QString> seen;
    QString id = styleId;
    while (!id.isEmpty() && !seen.contains(id) && leafFirst.size() < size_t(kMaxChain)) {
        const auto it = defs_.constFind(id);
        if (it == defs_.constEnd())
            break;
        seen.insert(id);
        leafFirst.push_back(&*it);
        id = it->basedOn;
    }
    return {leafFirst.rbegin(), leafFirst.rend()};
}

const StyleSheet::Paragraph& StyleSheet::paragraph(const QString& styleId) const {
    const QString id = styleId.isEmpty() || !defs_.contains(styleId) ? defaultParagraph_ : styleId;
    const auto cached = cache_.constFind(id);
    if (cached != cache_.constEnd())
        return *cached;
    Paragraph p;
    p.block = docBlock_;
    p.chars = docChars_;
    const std::vector<const Def*> defs = chain(id);
    for (const Def* d : defs) {
        p.block.merge(d->block);
        p.chars.merge(d->chars);
    }
    for (auto it = defs.rbegin(); it != defs.rend() && p.styleIndex < 0; ++it)
        p.styleIndex = styleIndexOf((*it)->id, (*it)->name);
    return *cache_.insert(id, p);
}

QTextCharFormat StyleSheet::characterStyle(const QString& styleId) const {
    QTextCharFormat f;
    for (const Def* d : chain(styleId))
        f.merge(d->chars);
    return f;
}

QTextTableFormat StyleSheet::tableStyle(const QString& styleId, bool& bordersGiven) const {
    QTextTableFormat f = bareTableFormat();
    bordersGiven = false;
    for (const Def* d : chain(styleId.isEmpty() ? defaultTable_ : styleId)) {
        f.merge(d->table);
        bordersGiven = bordersGiven || d->tableBorders;
    }
    return f;
}

}  // namespace arbor::docx
