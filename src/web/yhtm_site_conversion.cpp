#include "web/yhtm_site_conversion.h"

#include <QTextDocument>

#include "editor/html_export.h"
#include "editor/rich_text.h"

namespace arbor::web {

namespace {

QString pad(int n) {
    return QString::number(n).rightJustified(3, u'0');
}

class ComponentConverter : public PageConverter {
  public:
    bool convert(int, const QByteArray& richText, const QString& outputPath, QString& head,
                 QString& body, QString& error) override {
        if (!richText.isEmpty() && !text_.loadBytes(richText, error))
            return false;
        if (richText.isEmpty())
            text_.body()->clear();
        QString html;
        if (!html::exportHtml(*text_.body(), outputPath, html, error))
            return false;
        const qsizetype at = html.indexOf(QStringLiteral("<body"));
        if (at < 0) {
            error = QStringLiteral("HTML に本文がありません");
            return false;
        }
        head = html.left(at);
        body = html.mid(at);
        return true;
    }

  private:
    RichText text_;
};

class ComponentConversion : public SiteConversion {
  public:
    bool loadSettings(QString&) override { return true; }
    QString fileName(int parent, int page, bool link) const override {
        if (link)
            return pad(parent) + u'_' + pad(page) + QStringLiteral(".htm");
        return pad(page) + QStringLiteral(".htm");
    }
    QString setDocumentType(const QString& pageText) const override { return pageText; }
    std::unique_ptr<PageConverter> converter() const override {
        return std::make_unique<ComponentConverter>();
    }
};

}  // namespace

std::unique_ptr<SiteConversion> makeSiteConversion() {
    return std::make_unique<ComponentConversion>();
}

bool writeSiteMap(int, const QString&, QString& error) {
    error = QStringLiteral("ｻｲﾄﾏｯﾌﾟはまだ作れません");
    return false;
}

}  // namespace arbor::web
