#pragma once
// Pages and placements for the Word export tests, written into the open test database
// (either engine) through the editor's own save, and the parts of a written .docx.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>

namespace arbor {
class RichText;
}

namespace arbor::test {

// Saves a page the way the editor does; fill writes its content.
void storePage(int number, const QString& title, const std::function<void(RichText&)>& fill);
// A page row without a stored document.
void storeTitleOnly(int number, const QString& title);
void placePage(int parent, int child, int order, const QString& label, int link = 0);
// Overwrites the stored document with bytes that are not a document.
void damagePage(int number);

// A small collection:
//   1001 "序章"        top, body text, a tag link to 1004
//   1002 "第一章"      top, a picture
//     1003 "節Ａ"      tag links to 1004 and to 1001, a term link, a web link
//     1004 "節Ｂ"      two pages long (a page break), heading paragraphs of its own
//       1006 "小節"    below 1004
//   1005 "付録"        top, no stored document
void buildCollection();

// Paragraph text followed by a tag, term or web link and more text.
void addLink(RichText& page, const QString& before, const QString& label, const QString& data,
             const QString& after = {});

// The entries of a .docx file.
std::map<QString, QByteArray> docxParts(const QString& path);
// Texts of the w:t elements of a part, joined.
QString wordText(const QByteArray& xml);
// Values of one attribute of one element kind, in document order ("hyperlink", "anchor").
QStringList attributeValues(const QByteArray& xml, const QString& element,
                            const QString& attribute);

}  // namespace arbor::test
