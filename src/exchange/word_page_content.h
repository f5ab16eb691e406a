#pragma once
// A page's stored document made ready for a Word file: loaded from msDoc into a
// rich-text component, its links turned into what a Word document can follow, pictures
// removed or checked.

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

class QTextDocument;

namespace arbor {
class RichText;
}

namespace arbor::word {

// What becomes of the link fields of a page in a Word file.
struct LinkPolicy {
    // Every link stays as it is (a page's own copy, which the editor may read back).
    bool keepAll = false;
    // Pages the output holds: a tag link to one of them leads to its bookmark "TG_" +
    // page.
    QSet<int> inside;
    // The web address of a page the output does not hold; empty when there is none.
    std::function<QString(int page)> outsideAddress;
    // A tag link to a page outside without an address: kept as it was (true) or made
    // plain text (false).
    bool keepOutsideWithoutAddress = false;
    // Term and object links: kept (a copy that goes with the dictionary) or made plain
    // text (a document nothing in it could resolve them in).
    bool keepTermAndObjectLinks = false;
};

// Rewrites the link fields of the document by the policy; returns how many changed.
int convertLinks(QTextDocument& document, const LinkPolicy& policy);

// Removes every picture; returns how many.
int removePictures(QTextDocument& document);

// Removes the pictures whose bytes cannot be decoded (Word would show a broken
// picture); returns how many.
int removeUnreadablePictures(QTextDocument& document);

enum class LoadResult { Loaded, NoDocument, Damaged, Missing };

// Loads the stored document of the page (" Select obDoc From msDoc Where noDoc = ").
// Damaged: the bytes cannot be read; error says why and the component is empty.
LoadResult loadStoredPage(int page, RichText& into, QString& error);

// The page's plain text (msDoc.txDoc), for a page whose document cannot be read.
QString storedPlainText(int page);

// Fills the component with plain text, one paragraph per line.
void setPlainText(RichText& into, const QString& text);

// The page that a tag link's target names ("1002", or "parent_page"); 0 when none.
int tagTargetPage(const QString& target);

// The web address of pages by the site settings when the alternative address is on
// (kaUsr.HiHome 2), else an empty function. homeOverride, when not empty, is used as
// the home address instead (the export of a branch asks for one).
std::function<QString(int)> siteAddresses(const QString& homeOverride = {});

}  // namespace arbor::word
