#include "tree/node_key.h"

#include <climits>

namespace arbor::tree {

QString pageOfKey(const QString& key) {
    if (key == QLatin1String("0"))
        return key;
    const qsizetype dash = key.indexOf(u'-');
    return dash < 0 ? QString() : key.mid(dash + 1);
}

int pageNumberOfKey(const QString& key) {
    bool ok = false;
    const int n = pageOfKey(key).toInt(&ok);
    return ok ? n : 0;
}

bool isTagKey(const QString& key) {
    return key.startsWith(u'X');
}

bool isLinkKey(const QString& key) {
    return key.startsWith(u'L');
}

QString makeKey(QChar prefix, int counter, const QString& page) {
    return prefix + QString::number(counter) + u'-' + page;
}

QString placementId(const QString& parentPage, const QString& page) {
    return parentPage + u'-' + page;
}

bool isPageNumber(const QString& text) {
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    return ok && n != 0 && n >= INT_MIN && n <= INT_MAX;
}

QString imageFor(QChar keyPrefix, bool collecting, bool hasChildren) {
    const QString head = keyPrefix == u'X'   ? QStringLiteral("tg")
                         : keyPrefix == u'L' ? QStringLiteral("lk")
                                             : QStringLiteral("nd");
    if (keyPrefix == u'X')
        return head + QStringLiteral("cls");
    if (collecting)
        return head + QStringLiteral("cod");
    return head + (hasChildren ? QStringLiteral("cls") : QStringLiteral("lef"));
}

QString expandedImage(const QString& image, bool expanded) {
    if (image.size() != 5)
        return image;
    const QString state = image.mid(2);
    if (state == QLatin1String("cod"))
        return image;
    if (image.startsWith(QLatin1String("tg")))
        return image.left(2) + (expanded ? QStringLiteral("opn") : QStringLiteral("cls"));
    if (state == QLatin1String("lef") && !expanded)
        return image;
    return image.left(2) + (expanded ? QStringLiteral("opn") : QStringLiteral("cls"));
}

QString imageWithPrefix(const QString& image, bool link) {
    if (image.startsWith(QLatin1String("tg")) || image.size() != 5)
        return image;
    return (link ? QStringLiteral("lk") : QStringLiteral("nd")) + image.mid(2);
}

bool isCollectingImage(const QString& image) {
    return image.endsWith(QLatin1String("cod"));
}

}  // namespace arbor::tree
