#include "editor/text_decoding.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace arbor::textcodec {

namespace {

// Decodes with the named encoding; false when the encoding is unknown or any byte
// sequence is invalid in it.
bool decodeStrictly(const QByteArray& bytes, const QString& name, QString& text) {
    QStringDecoder decoder(name.toLatin1().constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return false;
    QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return false;
    text = decoded;
    return true;
}

bool byteOrderMark(const QByteArray& bytes, QString& text, QString& encoding) {
    struct Mark {
        const char* bytes;
        int size;
        const char* name;
    };
    static const Mark marks[] = {{"\xEF\xBB\xBF", 3, "UTF-8"},
                                 {"\xFF\xFE\x00\x00", 4, "UTF-32LE"},
                                 {"\x00\x00\xFE\xFF", 4, "UTF-32BE"},
                                 {"\xFF\xFE", 2, "UTF-16LE"},
                                 {"\xFE\xFF", 2, "UTF-16BE"}};
    for (const Mark& m : marks) {
        if (bytes.startsWith(QByteArray(m.bytes, m.size))) {
            encoding = QLatin1String(m.name);
            if (!decodeStrictly(bytes.mid(m.size), encoding, text))
                text = QString();
            return true;
        }
    }
    return false;
}

// UTF-16 without a mark shows as zero bytes in every other place of ASCII text.
QString utf16Guess(const QByteArray& bytes) {
    if (bytes.size() < 4 || bytes.size() % 2 != 0)
        return {};
    qsizetype evenZeros = 0, oddZeros = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\0')
            (i % 2 ? oddZeros : evenZeros)++;
    const qsizetype half = bytes.size() / 2;
    if (oddZeros * 10 > half * 3 && evenZeros == 0)
        return QStringLiteral("UTF-16LE");
    if (evenZeros * 10 > half * 3 && oddZeros == 0)
        return QStringLiteral("UTF-16BE");
    return {};
}

bool detect(const QByteArray& bytes, QString& text, QString& encoding) {
    QStringList candidates{QStringLiteral("UTF-8")};
    const QString utf16 = utf16Guess(bytes);
    if (!utf16.isEmpty())
        candidates.prepend(utf16);
    candidates << QStringLiteral("Shift-JIS") << QStringLiteral("CP932")
               << QStringLiteral("EUC-JP");
    for (const QString& name : candidates) {
        // NUL bytes only belong to UTF-16 text.
        if (!name.startsWith(QLatin1String("UTF-16")) && bytes.contains('\0'))
            continue;
        if (decodeStrictly(bytes, name, text)) {
            encoding = name;
            return true;
        }
    }
    return false;
}

}  // namespace

bool decodeText(const QByteArray& bytes, QString& text, QString& encoding) {
    if (byteOrderMark(bytes, text, encoding))
        return !text.isNull() || bytes.size() <= 4;
    return detect(bytes, text, encoding);
}

QString declaredCharset(const QByteArray& html) {
    // The declaration must come early; only ASCII matters for finding it.
    const QString head = QString::fromLatin1(html.left(4096));
    static const QRegularExpression meta(
        QStringLiteral("<meta\\b[^>]*?charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9._:-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = meta.match(head);
    return m.hasMatch() ? m.captured(1) : QString();
}

bool decodeHtml(const QByteArray& bytes, QString& text, QString& encoding) {
    if (byteOrderMark(bytes, text, encoding))
        return !text.isNull() || bytes.size() <= 4;
    const QString declared = declaredCharset(bytes);
    if (!declared.isEmpty() && decodeStrictly(bytes, declared, text)) {
        encoding = declared;
        return true;
    }
    // A wrong or unknown declaration: what the bytes really are decides.
    return detect(bytes, text, encoding);
}

}  // namespace arbor::textcodec
