#pragma once
// The eight user formats of a document database (six paragraph styles, page header
// and footer) and the line spacing factor, stored as tagged text in kaUsr.DmFmt,
// with two editor options kept in the user's settings.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace arbor {

struct UsrFormat {
    QString FontName;
    int16_t FontSize = 10;
    int32_t ForeColor = 0;  // 0x00BBGGRR
    int32_t BackColor = 0xFFFFFF;
    int16_t Bold = 0;
    int16_t ParaAlign = 0;  // 0 left, 1 right, 2 centre
    int16_t ParaFrame1 = 0;
    int16_t ParaFrame2 = 0;
    int16_t ParaFrame3 = 0;  // 7936: no frame
    int16_t ParaDist1 = 0;   // twips
    int16_t ParaDist2 = 0;
    int16_t ParaDist3 = 0;
    int16_t ParaDist4 = 0;
    int16_t ParaDist5 = 0;

    bool operator==(const UsrFormat&) const = default;
};

inline constexpr int kUserFormatCount = 8;
inline constexpr int kHeading1 = 0, kHeading2 = 1, kHeading3 = 2, kBody = 3, kEmphasis = 4,
                     kNote = 5, kHeader = 6, kFooter = 7;
inline constexpr int16_t kNoFrame = 7936;

// "見出１.見出２.見出３.本文 強調 補足" and the six names it holds.
QString styleNamesText();
QStringList styleNames();

UsrFormat defaultUserFormat(int index);
// The fourteen fields joined by "|".
QString FormatLine(const UsrFormat& format);
// Appends "<tag>value</tag>" and a CR.
void AppendTagged(QString& text, const QString& tag, const QString& value);

// The user format table in use, loaded with each open database.
class Frmt {
  public:
    static Frmt& instance();
    Frmt();

    const UsrFormat& format(int index) const { return formats_.at(index); }
    UsrFormat& format(int index) { return formats_.at(index); }
    float LineSpacingFactor = 1.2f;
    bool UsrDtp = true;       // "最初は見出1"
    bool UsrEntShift = true;  // "本文はEnter= <br>"

    void resetToDefaults();
    // Reads DmFmt of the open database and the two options; false when the database
    // could not be read (the records read so far stay).
    bool LoadUserFormats();
    // Fills record index from a stored line, or from the defaults when it is malformed.
    void ParseUserFormat(const QString& line, int index);
    // Sets the factor from its stored text; out of 1.0 to 2.0 or not a number gives 1.2.
    void setLineSpacingText(const QString& text);
    // The stored form: the factor, then all eight formats in order.
    QString dmFmtText() const;
    // Writes DmFmt and the two options; false when the database refused.
    bool SaveUserFormats();
    // Brings the sizes into the shape the HTML output needs, with its messages.
    // Returns true when it changed the table.
    bool CheckHtmlFormats();

  private:
    std::array<UsrFormat, kUserFormatCount> formats_;
};

// The factor's shortest decimal text (1.2, 1, 1.5).
QString lineSpacingText(float factor);
// DmFmt of a table holding the defaults, for new databases.
QString defaultFormatsText();
// Makes every database open load the user formats.
void registerUserFormatLoading();

}  // namespace arbor
