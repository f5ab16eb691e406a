#include "web/zoom_pictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "app/prompter.h"

namespace arbor::web {

QStringList unreferencedZoomPictures(const QString& folder, const QStringList& referenced) {
    static const QSet<QString> pictures{QStringLiteral("png"), QStringLiteral("jpg"),
                                        QStringLiteral("jpeg"), QStringLiteral("gif"),
                                        QStringLiteral("bmp")};
    const QSet<QString> used(referenced.cbegin(), referenced.cend());
    QStringList out;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        const QString name = file.fileName();
        const QString extension = name.section(u'.', -1).toLower();
        if (name.contains(u'.') && pictures.contains(extension) && !used.contains(name))
            out << name;
    }
    return out;
}

QStringList deleteZoomPictures(const QString& folder, const QStringList& names) {
    if (names.isEmpty()) {
        prompter().message(QStringLiteral("対象がありません"));
        return {};
    }
    if (!prompter().confirm(QStringLiteral("参照されていない拡大画像を削除します")))
        return {};
    QStringList removed, failed;
    for (const QString& name : names) {
        if (name.contains(u'/') || name.contains(u'\\')) {
            failed << name;
            continue;
        }
        const QString path = QDir(folder).filePath(name);
        if (QFile::moveToTrash(path) || QFile::remove(path))
            removed << name;
        else if (QFileInfo::exists(path))
            failed << name;
    }
    QString text = removed.join(u',') + QStringLiteral(" を削除しました");
    if (!failed.isEmpty())
        text += QStringLiteral("\n削除できませんでした: ") + failed.join(u',');
    prompter().message(text, failed.isEmpty() ? Severity::Information : Severity::Warning);
    return removed;
}

}  // namespace arbor::web
