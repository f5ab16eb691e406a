#include "web/html_head.h"

#include <array>

#include "web/html_text.h"

namespace arbor::web {

namespace {

struct DocumentType {
    const char16_t* publicId;
    const char16_t* systemId;
};

constexpr std::array<DocumentType, 5> kTypes = {{
    {u"-//W3C//DTD HTML 4.01 Transitional//EN", u"http://www.w3.org/TR/html4/loose.dtd"},
    {u"-//W3C//DTD HTML 4.01//EN", u"http://www.w3.org/TR/html4/strict.dtd"},
    {u"-//W3C//DTD XHTML 1.0 Transitional//EN",
     u"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd"},
    {u"-//W3C//DTD XHTML 1.0 Strict//EN", u"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd"},
    {u"-//W3C//DTD XHTML 1.1//EN", u"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd"},
}};

QString typeLine(int index, QChar quote) {
    return QStringLiteral("<!DOCTYPE html PUBLIC ") + quote +
           QString::fromUtf16(kTypes[index].publicId) + quote + u' ' + quote +
           QString::fromUtf16(kTypes[index].systemId) + quote + u'>';
}

bool nameIs(QStringView text, qsizetype at, QStringView name) {
    if (text.mid(at, name.size()).compare(name, Qt::CaseInsensitive) != 0)
        return false;
    const qsizetype after = at + name.size();
    if (after >= text.size())
        return false;
    const QChar c = text[after];
    return c == u' ' || c == u'/' || c == u'>' || c == u'\t' || c == u'\r' || c == u'\n';
}

// The ">" ending the tag that starts at `start`, quoted values skipped.
qsizetype endOfTag(QStringView text, qsizetype start) {
    QChar quote;
    QChar last;
    for (qsizetype i = start + 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
                last = c;
            }
            continue;
        }
        if (c == u'>')
            return i;
        if ((c == u'"' || c == u'\'') && last == u'=')
            quote = c;
        else if (c != u' ')
            last = c;
    }
    return -1;
}

void closeEmptyElements(QString& page, bool xml) {
    // The named ones, and the other elements HTML knows without content, which an XML
    // reader needs closed as well.
    static constexpr std::array<const char16_t*, 13> kEmpty = {
        u"meta",  u"link", u"img",   u"col",   u"area", u"br",    u"hr",
        u"input", u"base", u"param", u"embed", u"wbr",  u"source"};
    const QStringView text(page);
    QString out;
    out.reserve(page.size() + page.size() / 32);
    qsizetype copied = 0;
    qsizetype i = 0;
    while ((i = page.indexOf(u'<', i)) >= 0) {
        // Comments and scripts are left as they are.
        if (text.mid(i, 4) == u"<!--") {
            const qsizetype end = page.indexOf(QStringLiteral("-->"), i + 4);
            i = end < 0 ? page.size() : end + 3;
            continue;
        }
        if (nameIs(text, i + 1, u"script")) {
            const qsizetype end =
                page.indexOf(QStringLiteral("</script"), i + 7, Qt::CaseInsensitive);
            i = end < 0 ? page.size() : end + 8;
            continue;
        }
        // Most tags (div, span, td, tr) start with a letter no empty element starts with.
        const char16_t first = i + 1 < text.size() ? text[i + 1].toLower().unicode() : u'\0';
        bool empty = false;
        if (QStringView(u"mliabhwspec").contains(QChar(first)))
            for (const char16_t* name : kEmpty)
                if (name[0] == first && nameIs(text, i + 1, QStringView(name))) {
                    empty = true;
                    break;
                }
        const qsizetype gt = empty ? endOfTag(text, i) : -1;
        if (gt < 0) {
            ++i;
            continue;
        }
        qsizetype inner = gt;  // end of the tag's content before any "/"
        while (inner > i && (text[inner - 1] == u' ' || text[inner - 1] == u'/'))
            --inner;
        out += text.mid(copied, inner - copied);
        out += xml ? QStringLiteral(" />") : QStringLiteral(">");
        copied = i = gt + 1;
    }
    out += text.mid(copied);
    page = std::move(out);
}

}  // namespace

QString headText(const QString& text) {
    QString t = text;
    t.replace(u'"', u' ');
    t = escapeText(t);
    t.replace(u'\'', QStringLiteral("&#39;"));
    t.replace(u'~', QStringLiteral("&#126;"));
    t.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    t.replace(u'\r', u' ');
    t.replace(u'\n', u' ');
    return t;
}

QString buildHead(const PageOptions& page, bool withMetaLines, bool favicon,
                  const QString& styleBlock) {
    QString head;
    head.reserve(styleBlock.size() + 1024);
    head += typeLine(0, u'\'') + u'~';
    head += QStringLiteral(
        "<html>~<head>~<meta http-equiv='Content-Type' content='text/html; charset=UTF-8'>~");
    if (withMetaLines) {
        const auto meta = [&head](const QString& name, const QString& value) {
            if (!value.trimmed().isEmpty())
                head += QStringLiteral("<meta name='") + name + QStringLiteral("' content='") +
                        headText(value) + QStringLiteral("'>~");
        };
        meta(QStringLiteral("description"), page.description);
        meta(QStringLiteral("Keywords"), page.keywords);
        meta(QStringLiteral("copyright"), page.copyright);
        head += page.robotsOff ? QStringLiteral("<meta name='robots' content='noindex,nofollow'>~")
                               : QStringLiteral("<meta name='robots' content='index,follow'>~");
        if (favicon)
            head += QStringLiteral("<link rel='shortcut icon' href='../cmn/favicon.ico'>~");
    }
    head += styleBlock + u'~';
    head += QStringLiteral("<title>") + headText(page.title) + QStringLiteral("</title>~</head>");
    head.replace(u'\'', u'"');
    head.replace(u'~', QStringLiteral("\r\n"));
    return head;
}

QString doctypeLine(int kind) {
    if (kind < 0 || kind >= static_cast<int>(kTypes.size()) || kind == 0)
        return QString();
    return typeLine(kind, u'"');
}

void SetDTD(QString& page, int kind) {
    if (kind == kEbookXhtml11) {
        const qsizetype head = page.indexOf(QStringLiteral("<head"), 0, Qt::CaseInsensitive);
        const QString start =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n") + typeLine(4, u'"') +
            QStringLiteral(
                "\r\n<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"ja\" "
                "lang=\"ja\">\r\n");
        page.replace(0, head < 0 ? 0 : head, start);
    } else if (kind != kHtml401Transitional) {
        const qsizetype at =
            page.indexOf(QStringLiteral("<!DOCTYPE html PUBLIC"), 0, Qt::CaseInsensitive);
        const qsizetype end = at < 0 ? -1 : page.indexOf(u'>', at);
        const QString line = kind == kXhtmlNoDoctype ? QString() : doctypeLine(kind);
        if (end >= 0) {
            qsizetype stop = end + 1;
            if (line.isEmpty() && page.mid(stop, 2) == u"\r\n")
                stop += 2;
            page.replace(at, stop - at, line);
        } else if (!line.isEmpty()) {
            page.prepend(line + QStringLiteral("\r\n"));
        }
    }
    closeEmptyElements(page, isXmlKind(kind));
}

}  // namespace arbor::web
