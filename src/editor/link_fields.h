#pragma once
// Link fields: the data text of a field says what it links to.

#include <QString>
#include <QStringList>

#include "app/zclt.h"

namespace arbor {

enum class LinkKind { Tag, Term, Object, Hyperlink };

struct LinkTarget {
    LinkKind kind = LinkKind::Hyperlink;
    QString code;    // "TG", "TP" or "LK" as the link event reports it
    QString target;  // page number, term, markup or address
};

// "TG_" + page, "TP_" + term (prefixes in any case), "LK_OBJ" + TAB + markup, else a
// hyperlink target.
LinkTarget splitLinkData(const QString& data);

QString tagData(int page);
QString termData(const QString& term);
QString objectData(const QString& markup);

// The tag set of a page: "." then each page number its tag links point to, in order of
// first occurrence, each followed by "." (".1012.1040."; "." for none).
QString tagSet(const QStringList& fieldData);

// A dictionary term as a term link carries it: narrowed, stripped of the characters that
// cannot stand in a link target, and widened again.
QString cleanTerm(const QString& term);


}  // namespace arbor
