#include "epub/epub_package.h"

#include <QFileInfo>
#include <QSet>

namespace arbor::epub {

namespace {

const QString kOpfNamespace = QStringLiteral("http://www.idpf.org/2007/opf");
const QString kDcNamespace = QStringLiteral("http://purl.org/dc/elements/1.1/");
const QString kNcxNamespace = QStringLiteral("http://www.daisy.org/z3986/2005/ncx/");

// The template conventions of the package files: "'" for a double quote, "@" for two
// blanks, "~" for CR LF. Applied to the program's own text only, so a "@" or "~" in a
// title stays as the user wrote it.
QString t(QString text) {
    text.replace(u'\'', u'"');
    text.replace(u'@', QStringLiteral("  "));
    text.replace(u'~', QStringLiteral("\r\n"));
    return text;
}

QString indent(int steps) {
    return QString(steps * 2, u' ');
}

// A value as element content: the markup characters as references, characters XML cannot
// hold left out, and the apostrophe turned into a double quote as in the rest of the text.
QString x(const QString& value) {
    QString out;
    out.reserve(value.size() + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
            out += c;
            out += value[++i];
            continue;
        }
        if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF ||
            (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r'))
            continue;
        switch (u) {
            case u'&':
                out += QStringLiteral("&amp;");
                break;
            case u'<':
                out += QStringLiteral("&lt;");
                break;
            case u'>':
                out += QStringLiteral("&gt;");
                break;
            case u'\'':
                out += u'"';
                break;
            default:
                out += c;
        }
    }
    return out;
}

QString extensionOf(const QString& file) {
    const qsizetype dot = file.lastIndexOf(u'.');
    return dot < 0 ? QString() : file.mid(dot + 1).toLower();
}

}  // namespace

QString pageItemId(const QString& file) {
    const qsizetype dot = file.lastIndexOf(u'.');
    return QStringLiteral("pg") + (dot < 0 ? file : file.first(dot));
}

QString pictureMediaType(const QString& file) {
    QString type = extensionOf(file);
    if (type == QLatin1String("jpg"))
        type = QStringLiteral("jpeg");
    return QStringLiteral("image/") + type;
}

QString containerDocument() {
    return t(QStringLiteral(
        "<?xml version='1.0'?>~"
        "<container version='1.0' xmlns='urn:oasis:names:tc:opendocument:xmlns:container'>~"
        "  <rootfiles>~"
        "    <rootfile full-path='OEBPS/content.opf' media-type='application/oebps-package+xml'/>~"
        "  </rootfiles>~"
        "</container>"));
}

QString packageDocument(const BookMetadata& book, const QStringList& files,
                        const QStringList& pictures) {
    QString s;
    s += t(QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>~"));
    s += t(QStringLiteral("<package version='2.0' xmlns='") + kOpfNamespace +
           QStringLiteral("' unique-identifier='BookId'>~"));
    s += t(QStringLiteral("@<metadata xmlns:dc='") + kDcNamespace +
           QStringLiteral("' xmlns:opf='") + kOpfNamespace + QStringLiteral("'>~"));
    s += t(QStringLiteral("@@<dc:title>")) + x(book.title) + t(QStringLiteral("</dc:title>~"));
    s += t(QStringLiteral("@@<dc:language>ja</dc:language>~"));
    s += t(QStringLiteral("@@<dc:identifier id='BookId'>")) + x(book.identifier) +
         t(QStringLiteral("</dc:identifier>~"));
    if (!book.author.isEmpty())
        s += t(QStringLiteral("@@<dc:creator opf:role='aut'>")) + x(book.author) +
             t(QStringLiteral("</dc:creator>~"));
    if (!book.rights.isEmpty())
        s += t(QStringLiteral("@@<dc:rights>")) + x(book.rights) +
             t(QStringLiteral("</dc:rights>~"));
    if (!book.publisher.isEmpty())
        s += t(QStringLiteral("@@<dc:publisher>")) + x(book.publisher) +
             t(QStringLiteral("</dc:publisher>~"));
    s += t(QStringLiteral("@</metadata>~@<manifest>~"));
    s += t(QStringLiteral(
        "@@<item id='ncx' href='toc.ncx' media-type='application/x-dtbncx+xml' />~"));
    QString spine;
    QSet<QString> listed;
    for (const QString& file : files) {
        if (file.isEmpty() || listed.contains(file))
            continue;
        listed.insert(file);
        const QString id = x(pageItemId(file));
        const QString extension = extensionOf(file);
        if (extension == QLatin1String("xhtml")) {
            s += t(QStringLiteral("@@<item id='")) + id + t(QStringLiteral("' href='")) + x(file) +
                 t(QStringLiteral("' media-type='application/xhtml+xml' />~"));
            spine += t(QStringLiteral("@@<itemref idref='")) + id + t(QStringLiteral("' />~"));
        } else if (extension == QLatin1String("css")) {
            s += t(QStringLiteral("@@<item id='")) + id + t(QStringLiteral("' href='")) + x(file) +
                 t(QStringLiteral("' media-type='text/css' />~"));
        }
    }
    int number = 0;
    for (const QString& picture : pictures) {
        s += t(QStringLiteral("@@<item id='img")) + QString::number(++number) +
             t(QStringLiteral("' href='Images/")) + x(picture) +
             t(QStringLiteral("' media-type='")) + x(pictureMediaType(picture)) +
             t(QStringLiteral("' />~"));
    }
    s += t(QStringLiteral("@</manifest>~@<spine toc='ncx'>~"));
    s += spine;
    s += t(QStringLiteral("@</spine>~</package>"));
    return s;
}

QString navigationDocument(const BookMetadata& book, const QVector<NavPoint>& points, int depth) {
    QString s;
    s += t(QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>~"));
    s += t(QStringLiteral("<ncx xmlns='") + kNcxNamespace + QStringLiteral("' version='2005-1'>~"));
    s += t(QStringLiteral("@<head>~@@<meta name='dtb:uid' content='")) + x(book.identifier) +
         t(QStringLiteral("'/>~"));
    s += t(QStringLiteral("@@<meta name='dtb:depth' content='")) + QString::number(depth) +
         t(QStringLiteral("'/>~"));
    s +=
        t(QStringLiteral("@@<meta name='dtb:totalPageCount' content='0'/>~"
                         "@@<meta name='dtb:maxPageNumber' content='0'/>~@</head>~"));
    s += t(QStringLiteral("@<docTitle>~@@<text>")) + x(book.title) +
         t(QStringLiteral("</text>~@</docTitle>~"));
    s += t(QStringLiteral("@<navMap>~"));
    QVector<int> open;  // levels of the navigation points not closed yet
    auto closeTo = [&](int level) {
        while (!open.isEmpty() && open.last() >= level) {
            s += indent(2 * open.last() + 2) + t(QStringLiteral("</navPoint>~"));
            open.removeLast();
        }
    };
    for (const NavPoint& p : points) {
        closeTo(p.level);
        const int d = p.level;
        s += indent(2 * d + 2) + t(QStringLiteral("<navPoint id='p")) + QString::number(p.number) +
             t(QStringLiteral("' playOrder='")) + QString::number(p.playOrder) +
             t(QStringLiteral("'>~"));
        s += indent(2 * d + 3) + t(QStringLiteral("<navLabel>~"));
        s += indent(2 * d + 4) + t(QStringLiteral("<text>")) + x(p.title) +
             t(QStringLiteral("</text>~"));
        s += indent(2 * d + 3) + t(QStringLiteral("</navLabel>~"));
        s += indent(2 * d + 3) + t(QStringLiteral("<content src='")) + x(p.file) +
             t(QStringLiteral("'/>~"));
        open.append(d);
    }
    closeTo(0);
    s += t(QStringLiteral("@</navMap>~</ncx>"));
    return s;
}

}  // namespace arbor::epub
