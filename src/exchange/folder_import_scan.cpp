#include "exchange/folder_import_scan.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>

#include "app/progress.h"
#include "editor/text_decoding.h"

namespace arbor::folderimport {

namespace {

constexpr qint64 kMaxPageFile = 64 * 1024 * 1024;

const QCollator& collator() {
    static const QCollator c = [] {
        QCollator made(QLocale(QLocale::Japanese, QLocale::Japan));
        made.setNumericMode(true);
        return made;
    }();
    return c;
}

struct Sibling {
    QString name;  // what the order follows
    QString path;
    SourceKind kind = SourceKind::Folder;
    QString childFolder;  // the folder beside a page file that holds its children
};

class Walker {
  public:
    explicit Walker(FolderScan& scan) : scan_(scan) {}

    // Adds the pages of folder under parent; returns how many pages it added directly.
    int addChildren(const QString& folder, int parent) {
        const QString real = QFileInfo(folder).canonicalFilePath();
        if (real.isEmpty() || visited_.contains(real))
            return 0;
        visited_.insert(real);

        const QDir dir(folder);
        const QFileInfoList entries =
            dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
        QList<QFileInfo> files, folders;
        for (const QFileInfo& e : entries) {
            if (e.fileName().startsWith(u'.'))
                continue;
            (e.isDir() ? folders : files).append(e);
        }
        auto byName = [](const QFileInfo& a, const QFileInfo& b) {
            return naturalLess(a.fileName(), b.fileName());
        };
        std::sort(files.begin(), files.end(), byName);

        QList<Sibling> siblings;
        QHash<QString, qsizetype> stems;  // stem -> the first readable page file of that stem
        for (const QFileInfo& f : files) {
            SourceKind kind;
            if (!pageKindOf(f.fileName(), kind))
                continue;
            const QString path = QDir::cleanPath(f.absoluteFilePath());
            QString text, reason;
            if (++read_ % 200 == 0)
                progress().step(read_, 0);
            if (!readPageText(path, kind, text, reason)) {
                scan_.skipped.append({path, reason});
                continue;
            }
            if (!stems.contains(f.completeBaseName()))
                stems.insert(f.completeBaseName(), siblings.size());
            siblings.append({f.fileName(), path, kind, {}});
        }
        for (const QFileInfo& d : folders) {
            const QString path = QDir::cleanPath(d.absoluteFilePath());
            const auto stem = stems.constFind(d.fileName());
            if (stem != stems.cend())
                siblings[*stem].childFolder = path;
            else
                siblings.append({d.fileName(), path, SourceKind::Folder, path});
        }
        std::stable_sort(siblings.begin(), siblings.end(), [](const Sibling& a, const Sibling& b) {
            return naturalLess(a.name, b.name);
        });

        int order = 0;
        for (const Sibling& s : siblings) {
            const int index = static_cast<int>(scan_.pages.size());
            SourcePage page;
            page.kind = s.kind;
            page.path = s.path;
            page.name =
                s.kind == SourceKind::Folder ? s.name : QFileInfo(s.name).completeBaseName();
            page.parent = parent;
            page.order = order;
            scan_.pages.append(page);
            const int children = s.childFolder.isEmpty() ? 0 : addChildren(s.childFolder, index);
            // A folder is a page only when some page stands in it.
            if (s.kind == SourceKind::Folder && children == 0) {
                scan_.pages.removeLast();
                continue;
            }
            ++order;
        }
        return order;
    }

  private:
    FolderScan& scan_;
    QSet<QString> visited_;
    qint64 read_ = 0;
};

}  // namespace

bool naturalLess(const QString& a, const QString& b) {
    const int c = collator().compare(a, b);
    return c != 0 ? c < 0 : a < b;
}

bool pageKindOf(const QString& fileName, SourceKind& kind) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QStringLiteral("html") || suffix == QStringLiteral("htm"))
        kind = SourceKind::Html;
    else if (suffix == QStringLiteral("md"))
        kind = SourceKind::Markdown;
    else if (suffix == QStringLiteral("txt"))
        kind = SourceKind::Text;
    else
        return false;
    return true;
}

bool readPageText(const QString& path, SourceKind kind, QString& text, QString& reason) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = QStringLiteral("読み込めません (") + file.errorString() + u')';
        return false;
    }
    if (file.size() > kMaxPageFile) {
        reason = QStringLiteral("大きすぎます (64 MB まで)");
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = QStringLiteral("読み込めません (") + file.errorString() + u')';
        return false;
    }
    QString encoding;
    const bool decoded = kind == SourceKind::Html ? textcodec::decodeHtml(bytes, text, encoding)
                                                  : textcodec::decodeText(bytes, text, encoding);
    if (!bytes.isEmpty() && !decoded) {
        reason = QStringLiteral(
            "文字コードを判別できません (UTF-8、UTF-16、Shift-JIS、EUC-JP のいずれでもありません)");
        return false;
    }
    if (text.trimmed().isEmpty()) {
        reason = QStringLiteral("空のファイルです");
        return false;
    }
    return true;
}

FolderScan scanFolder(const QString& folder) {
    FolderScan scan;
    Walker(scan).addChildren(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()), -1);
    return scan;
}

}  // namespace arbor::folderimport
