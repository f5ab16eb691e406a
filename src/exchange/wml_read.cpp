#include "exchange/wml_read.h"

#include <cmath>

#include "exchange/ooxml.h"

namespace arbor::wml {

namespace {
constexpr int kMaxDepth = 200;
}

bool checkXml(const QByteArray& xml, const QString& partName, QString& error) {
    QXmlStreamReader r(xml);
    int depth = 0;
    while (!r.atEnd()) {
        switch (r.readNext()) {
            case QXmlStreamReader::DTD:
            case QXmlStreamReader::EntityReference:
                error = QStringLiteral("%1 に文書型宣言があるため読み込みません").arg(partName);
                return false;
            case QXmlStreamReader::StartElement:
                if (++depth > kMaxDepth) {
                    error = QStringLiteral("%1 の要素の入れ子が深すぎます").arg(partName);
                    return false;
                }
                break;
            case QXmlStreamReader::EndElement:
                --depth;
                break;
            default:
                break;
        }
    }
    if (r.hasError()) {
        error = QStringLiteral("%1 の XML が壊れています（%2 行目: %3）")
                    .arg(partName)
                    .arg(r.lineNumber())
                    .arg(r.errorString());
        return false;
    }
    return true;
}

bool isW(const QXmlStreamReader& r) {
    const QStringView ns = r.namespaceUri();
    return ns == QLatin1String(ooxml::kNsW) || ns == QLatin1String(ooxml::kNsStrictW);
}

bool isW(const QXmlStreamReader& r, QLatin1String name) {
    return r.name() == name && isW(r);
}

bool isR(QStringView ns) {
    return ns == QLatin1String(ooxml::kNsR) || ns == QLatin1String(ooxml::kNsStrictR);
}

QString wAttr(const QXmlStreamReader& r, QLatin1String name) {
    for (const QXmlStreamAttribute& a : r.attributes()) {
        if (a.name() == name && (a.namespaceUri() == QLatin1String(ooxml::kNsW) ||
                                 a.namespaceUri() == QLatin1String(ooxml::kNsStrictW)))
            return a.value().toString();
    }
    return {};
}

QString rAttr(const QXmlStreamReader& r, QLatin1String name) {
    for (const QXmlStreamAttribute& a : r.attributes())
        if (a.name() == name && isR(a.namespaceUri()))
            return a.value().toString();
    return {};
}

QString plainAttr(const QXmlStreamReader& r, QLatin1String name) {
    for (const QXmlStreamAttribute& a : r.attributes())
        if (a.name() == name && a.namespaceUri().isEmpty())
            return a.value().toString();
    return {};
}

bool toggleValue(const QXmlStreamReader& r) {
    const QString v = wAttr(r, QLatin1String("val"));
    return !(v == QLatin1String("0") || v == QLatin1String("false") || v == QLatin1String("off"));
}

std::optional<int> number(QStringView text, int min, int max) {
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return int(std::clamp(std::round(v), double(min), double(max)));
}

std::optional<int> wNumber(const QXmlStreamReader& r, QLatin1String name, int min, int max) {
    return number(wAttr(r, name), min, max);
}

}  // namespace arbor::wml
