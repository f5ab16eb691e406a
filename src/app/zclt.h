#pragma once
// zClt: the small file and text operations every subsystem shares. Stateless.
//
// Plain text files ("ANSI") use the locale's encoding, which is UTF-8 here; output
// files for the web and e-books go through F_StUtf (UTF-8 with a byte-order mark).
// Nothing throws: file writes report through their result, reads give empty text.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace arbor {

// Removes leading and trailing blanks (the space character only; tabs and line
// breaks are text).
QString trimBlanks(const QString& text);

// The number at the start of the text, as the settings file and page arguments read
// numbers: blanks are skipped, then sign, digits, decimal point and exponent; "&H"
// starts a hexadecimal number. "12abc" gives 12, "abc" gives 0.
double leadingNumber(const QString& text);

// Titles and labels as they are written to the database: without blanks, "&", "<", ">",
// double and single quotes.
QString cleanTitle(const QString& title);

// Whole numbers in full-width digits (counts in messages).
QString fullWidthNumber(qint64 n);

// The text form of a value as it is written into settings and text templates:
// booleans "True"/"False", dates "yyyy/MM/dd H:mm:ss" (date only at midnight),
// numbers plainly, null as empty text.
QString variantText(const QVariant& value);

// Reads a date (and optional time) in the forms the program writes or meets in
// databases: "2024/1/5", "2024-01-05 13:04", "2024/01/05 9:05:03", "2024-01-05T09:05:03.000",
// or a time alone (on 1899/12/30, the zero date). False when the text is no date.
bool parseDateText(const QString& text, QDateTime& date);

class zClt {
  public:
    // --- files ---
    // False for an empty path. With wildcards allowed and "?" or "*" in the name, true
    // when a listing of the pattern finds a file; otherwise whether the file exists.
    bool FbExFile(const QString& path, bool wildcards = false) const;
    bool FbExFolder(const QString& path) const;
    // Creates the folder and every missing level above it. True when it exists afterwards.
    bool F_CreateFld(const QString& path) const;
    // Creates base + name for each missing name (no parents).
    void F_ChkSb(const QString& base, const QStringList& names) const;
    // Copies source over destination; an existing destination is replaced only after
    // the user's OK, and only once the copy is complete.
    bool F_Copy(const QString& source, const QString& destination) const;
    // Deletes a file, or every file matching a pattern with "*". Errors are ignored.
    void F_DelFile(const QString& pathOrPattern) const;
    // Writes plain text; replace goes through a temporary file so a failed write never
    // leaves half a file. False on any error.
    bool F_StTxtFL(const QString& path, const QString& text, bool append) const;
    // Whole plain-text file; empty when missing. ok (optional) tells whether it was read.
    QString FsGtText(const QString& path, bool* ok = nullptr) const;
    // Whole UTF-8 file without its byte-order mark; empty on any error.
    QString FsGtUtf(const QString& path) const;
    // Writes UTF-8 with a byte-order mark, replacing the file. Empty text writes nothing.
    bool F_StUtf(const QString& path, const QString& text) const;

    // --- text ---
    // Appends the separator unless the list is empty or already ends with it.
    void T_AddRwd(QString& list, const QString& separator) const;
    // Removes every trailing separator (empty means ","); for "," blanks beside commas go.
    void T_DelRwd(QString& list, QString separator) const;
    // Splits at the first separator (case ignored); both parts trimmed.
    void T_SpltWd(const QString& text, const QString& separator, QString& left,
                  QString& right) const;
    // Takes the first word before the separator and leaves the rest in text.
    QString TsLwd(QString& text, const QString& separator) const;
    // The text between the first start mark and the next end mark (case ignored).
    QString TsBtwn(const QString& text, const QString& startMark, const QString& endMark) const;
    // Collapses blanks, removes empty lines and indents, line breaks become CR LF.
    void T_TrmCR(QString& text) const;
    // Fills "?" placeholders of a text template with the values, left to right. A null
    // value removes its placeholder; a value's own "?" characters stay in the text;
    // placeholders beyond the last value stay.
    void T_CnvSq(QString& text, const QVariantList& values) const;
    bool TbChkDy(const QString& text, QDateTime& date) const;
    // Position (0-based) of the mark in the text, case ignored; -1 when missing.
    // Found means the mark is not empty and occurs.
    bool InStrTx(const QString& text, const QString& mark, int& position) const;
};

// The shared instance.
zClt& Clt();

}  // namespace arbor
