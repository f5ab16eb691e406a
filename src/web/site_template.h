#pragma once
// Filling a site template with one page: the generated fragments go into the elements
// the template names by id, the page's head and body are merged around the template's
// "dMain" element, and the links of pages written into the site root are rebased.
// Plain text operations; the site build calls them for every page file it writes.

#include <QString>

namespace arbor::web {

// The text with the content put between the start tag that carries idAttribute (single
// quotes stand for double quotes; found ignoring case) and the first closingTag after it.
// Unchanged when the attribute is absent.
QString ReplaceElementContent(const QString& text, const QString& idAttribute,
                              const QString& closingTag, const QString& content);

// The page file: the page's head (with the template's <link rel> tags and the body's style
// block), then the template's body with the page's body inside the element with
// id="dMain". A template without that element is returned unchanged. Line breaks become
// single CRs without empty lines. preview: the template editor's work files (its work
// style sheet and picture folder). The document type is the caller's (SetDTD).
QString MergeTemplate(const QString& templ, const QString& head, const QString& body,
                      bool preview = false);

// Links of a page written into the site root: every double-quoted href value loses a
// leading "../" or else gets "pub/" in front.
QString RebaseLinks(const QString& text);

// A root page's template back in the page-folder form: every href value without "mailto"
// or "/" gets "../" in front, "cmn" becomes "../cmn" and "pub/" goes.
QString UnrebaseLinks(const QString& text);

// Every CRLF becomes CR, and runs of CRs one CR: page files have single-CR line breaks
// and no empty lines.
QString singleCrLines(QString text);

}  // namespace arbor::web
