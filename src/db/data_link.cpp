#include "db/data_link.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

namespace arbor {

namespace {

QString decode(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.mid(2));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    // UTF-16 without a mark shows itself by NUL bytes between ASCII letters.
    if (bytes.size() > 1 && bytes[1] == '\0')
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes);
    return QString::fromUtf8(bytes);
}

// Splits "a=1;b='x;y'" into pairs; values may be quoted with ' or ".
QList<QPair<QString, QString>> splitPairs(const QString& line) {
    QList<QPair<QString, QString>> pairs;
    int i = 0;
    const int n = line.size();
    while (i < n) {
        const int eq = line.indexOf(u'=', i);
        if (eq < 0)
            break;
        const QString key = line.mid(i, eq - i).trimmed();
        int j = eq + 1;
        while (j < n && line[j] == u' ')
            ++j;
        QString value;
        if (j < n && (line[j] == u'"' || line[j] == u'\'')) {
            const QChar q = line[j++];
            while (j < n) {
                if (line[j] == q) {
                    if (j + 1 < n && line[j + 1] == q) {
                        value += q;
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                value += line[j++];
            }
            const int semi = line.indexOf(u';', j);
            i = semi < 0 ? n : semi + 1;
        } else {
            const int semi = line.indexOf(u';', j);
            const int end = semi < 0 ? n : semi;
            value = line.mid(j, end - j).trimmed();
            i = end + 1;
        }
        if (!key.isEmpty())
            pairs.push_back({key, value});
    }
    return pairs;
}

}  // namespace

bool parseDataLink(const QByteArray& bytes, DataLink& link, QString& error) {
    link = DataLink();
    const QString text = decode(bytes);
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("[\r\n]+")));
    bool sawHeader = false;
    QString connection;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.compare(QLatin1String("[oledb]"), Qt::CaseInsensitive) == 0) {
            sawHeader = true;
            continue;
        }
        if (sawHeader) {
            connection = line;
            break;
        }
    }
    if (!sawHeader || connection.isEmpty()) {
        error =
            QStringLiteral("ﾃﾞｰﾀﾘﾝｸ ﾌｧｲﾙの形式ではありません ([oledb] と接続文字列の行が必要です)");
        return false;
    }
    for (const auto& [key, value] : splitPairs(connection)) {
        const QString k = key.toLower();
        if (k == QLatin1String("provider")) {
            link.provider = value;
        } else if (k == QLatin1String("data source") || k == QLatin1String("server") ||
                   k == QLatin1String("host") || k == QLatin1String("address")) {
            QString host = value;
            QString port;
            if (host.startsWith(u'[')) {  // [::1]:5432
                const int close = host.indexOf(u']');
                if (close > 0) {
                    port = host.mid(close + 1);
                    host = host.mid(1, close - 1);
                    if (port.startsWith(u':') || port.startsWith(u','))
                        port = port.mid(1);
                }
            } else {
                const int sep = host.lastIndexOf(QRegularExpression(QStringLiteral("[:,]")));
                if (sep > 0 && host.count(u':') <= 1) {
                    port = host.mid(sep + 1);
                    host = host.left(sep);
                }
            }
            link.host = host.trimmed();
            if (!port.trimmed().isEmpty()) {
                bool ok = false;
                link.port = port.trimmed().toInt(&ok);
                if (!ok || link.port <= 0 || link.port > 65535) {
                    error = QStringLiteral("ﾃﾞｰﾀﾘﾝｸのﾎﾟｰﾄ番号が正しくありません: ") + port;
                    return false;
                }
            }
        } else if (k == QLatin1String("port")) {
            bool ok = false;
            link.port = value.toInt(&ok);
            if (!ok || link.port <= 0 || link.port > 65535) {
                error = QStringLiteral("ﾃﾞｰﾀﾘﾝｸのﾎﾟｰﾄ番号が正しくありません: ") + value;
                return false;
            }
        } else if (k == QLatin1String("initial catalog") || k == QLatin1String("database")) {
            link.database = value;
        } else if (k == QLatin1String("user id") || k == QLatin1String("uid") ||
                   k == QLatin1String("user")) {
            link.user = value;
        } else if (k == QLatin1String("password") || k == QLatin1String("pwd")) {
            link.password = value;
        }
    }
    if (!link.provider.contains(QLatin1String("postgres"), Qt::CaseInsensitive)) {
        error = QStringLiteral(
                    "このﾃﾞｰﾀﾘﾝｸの接続先には対応していません (Provider=%1)。"
                    "PostgreSQL を指定して下さい")
                    .arg(link.provider);
        return false;
    }
    if (link.database.isEmpty()) {
        error = QStringLiteral("ﾃﾞｰﾀﾘﾝｸにﾃﾞｰﾀｰﾍﾞｰｽ名 (Initial Catalog) がありません");
        return false;
    }
    return true;
}

bool readDataLink(const QString& path, DataLink& link, QString& error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("ﾃﾞｰﾀﾘﾝｸ ﾌｧｲﾙが読めません: ") + path + QStringLiteral(" (") +
                f.errorString() + u')';
        return false;
    }
    const QByteArray bytes = f.read(64 * 1024);
    return parseDataLink(bytes, link, error);
}

QByteArray dataLinkText(const DataLink& link) {
    auto quoted = [](const QString& v) -> QString {
        if (!v.contains(u';') && !v.contains(u'"') && !v.contains(u'\'') && v.trimmed() == v)
            return v;
        QString q = v;
        q.replace(u'"', QStringLiteral("\"\""));
        return u'"' + q + u'"';
    };
    QString source = link.host.contains(u':') ? u'[' + link.host + u']' : link.host;
    if (link.port > 0)
        source += u':' + QString::number(link.port);
    const QString text =
        QStringLiteral("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n") +
        QStringLiteral("Provider=") + quoted(link.provider) + QStringLiteral(";Data Source=") +
        quoted(source) + QStringLiteral(";Initial Catalog=") + quoted(link.database) +
        QStringLiteral(";User ID=") + quoted(link.user) + QStringLiteral(";Password=") +
        quoted(link.password) + QStringLiteral("\r\n");
    return text.toUtf8();
}

}  // namespace arbor
