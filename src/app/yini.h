#pragma once
// yIni: the user's environment. It fixes the user data folder, keeps the settings file
// User.xml in memory from start to end (read once, written once), and opens help pages,
// files and folders with the desktop.
//
// User.xml is handled as text, not parsed as XML: a group is "<name>" CR LF, value lines
// "      <key>value</key>" CR LF, and "   </name>" inside the root "<運用>". Values are
// stored without escaping and read up to the first end tag of their key.

#include <QString>
#include <QStringList>
#include <QVariant>

#include "app/app_paths.h"

namespace arbor {

class yIni {
  public:
    yIni() = default;
    yIni(const yIni&) = delete;
    yIni& operator=(const yIni&) = delete;

    // Special folders used by W_UserData, FsGtSpFld and the program-path record.
    void setFolders(const UserFolders& folders) { folders_ = folders; }

    // Resolves the user data folder from UserData.ini beside the program (G().ProgramDir,
    // G().ExeName must be set), sets G().UserPath and G().ApDataPath, creates the folder
    // when missing and records the program path for companion programs. True when the
    // user data folder exists afterwards.
    bool W_UserData();
    // Opens a help topic of the help site in the browser.
    void W_Help(const QString& topic) const;
    // Shows a file or address in the default browser.
    void W_HtmView(const QString& target) const;
    // Puts a desktop entry for the program among the user's applications (so file
    // managers offer it for "open with") and reports where.
    void W_SendTo() const;
    // Opens the path (open = true) or shows the folder in the file manager when it exists.
    void W_ExpFd(const QString& path, bool open) const;
    // 26 application data, 5 documents, 9 the folder of "send to" entries (the user's
    // applications folder); empty for any other number.
    void FsGtSpFld(int folder, QString& path) const;
    void F_ChkSb(const QString& base, const QStringList& names) const;
    void F_CreateFld(const QString& path) const;

    // Loads the settings file (a name ending in "_dv.xml" loads the ".xml" file). A missing
    // file is created empty; an unreadable one gives ok false. The text is at least the
    // empty skeleton afterwards.
    void GetTxt(const QString& path, bool& ok);
    // Selects a group for vGtVal / SetVal.
    void GetGtx(const QString& name);
    // Value of the selected group, typed by the default: text, bool, QDateTime/QDate, or a
    // number (the leading number of the text, in the default's numeric type).
    QVariant vGtVal(const QString& key, const QVariant& defaultValue);
    // Writes the text to the file (UTF-8, through a temporary file). ok false when the file
    // could not be written; the previous file then stays as it was.
    void SetTxt(bool& ok);
    // Stores the selected group back into the text.
    void SetGtx();
    // Sets a value in the selected group (stored by SetGtx).
    void SetVal(const QString& key, const QVariant& value);

    QString filePath() const { return filePath_; }
    QString text() const { return text_; }
    QString groupName() const { return groupName_; }
    QString groupText() const { return groupText_; }
    // The new-file skeleton: declaration, "<運用>", "</運用>".
    static QString skeleton();
    // The help page of a topic: lower case, ".htm" added when it has no dot.
    static QString helpAddress(const QString& topic);

  private:
    QString lookup(const QString& text, const QString& key, bool group);
    QString userDataIniToken(bool& rewrite) const;
    void recordProgramPath() const;
    bool backupDamagedFile();
    void replaceBrokenGroup(qsizetype start, const QString& block);

    UserFolders folders_;
    QString filePath_;
    QString text_;
    QString groupText_;
    QString groupName_;
    // The file on disk may hold more than the text does (unreadable, undecodable or
    // damaged): it is copied aside before the first overwrite.
    bool keepCopyBeforeWrite_ = false;
};

// The settings object of the process, created on first use; Main fills it and the final
// clean-up writes it. Lives until the end of the program.
yIni& Ini();

}  // namespace arbor
