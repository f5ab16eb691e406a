#pragma once
// Links between the files of an imported folder: a link whose target is another imported
// file (or a folder that became a page) becomes a tag link "#TG_" + page number before the
// page's HTML is read, so the HTML reader turns it into a tag field. Relative targets are
// resolved from the linking file's folder, "/..." from the imported folder; "#fragment"
// and "?query" are ignored; every other link stays as it is.

#include <QHash>
#include <QString>

namespace arbor::folderimport {

class PageLinks {
  public:
    // root: the imported folder.
    explicit PageLinks(const QString& root);

    // The file (or folder) at path became page `page`.
    void add(const QString& path, int page);

    // The page a link written in a file of `folder` leads to; 0 when it leads to none.
    int pageOf(const QString& href, const QString& folder) const;

    // The HTML with the href of every <a> element that leads to a page replaced by
    // "#TG_" + its number.
    QString rewrite(const QString& html, const QString& folder) const;

  private:
    QString root_;
    QHash<QString, int> pages_;
};

// An attribute value with its character references resolved (&amp; &#38; &#x26; ...).
QString decodeCharacterReferences(const QString& value);

}  // namespace arbor::folderimport
