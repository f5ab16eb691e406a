#pragma once
// Classes of one page: every distinct style text of an element kind gets a class, and
// the style block lists them. The registry lives as long as the conversion of a page.

#include <QHash>
#include <QString>
#include <vector>

#include "web/html_tokens.h"

namespace arbor::web {

class ClassRegistry {
  public:
    struct Entry {
        int number = 0;
        QString prefix;  // first two letters of the element name: "di", "sp", "h1"
        QString style;
        QString name() const;  // prefix + number in two digits: "di01"
    };

    // The class of a style for an element, made on first use with the lowest number
    // not yet used for the prefix.
    QString classFor(QStringView element, const QString& style);
    const std::vector<Entry>& entries() const { return entries_; }
    // Number, TAB, prefix, TAB, style, CR per entry.
    QString text() const;

  private:
    std::vector<Entry> entries_;
    QHash<QString, int> index_;
    QHash<QString, int> used_;
};

struct ClassOptions {
    bool removeItalics = false;  // e-book pages with the no-italics option
    // Site pages: font sizes in points become percentages of the enclosing size.
    bool relativeSizes = false;
    double bodySize = 10;
    double headingSizes[3] = {14, 12, 11};
    float lineSpacingFactor = 1.2f;
};

// Pass 14: trims every style, drops what the style block already says (a line height
// of the factor times the text size), and replaces each remaining style by a class.
void assignClasses(TokenTable& tokens, ClassRegistry& registry, const ClassOptions& options);

}  // namespace arbor::web
