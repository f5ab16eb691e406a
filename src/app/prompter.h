#pragma once
// Every message box, question, input box and file dialog goes through a Prompter.
// The GUI answers with dialogs, tests script the answers, batch commands answer alone.

#include <QString>
#include <QStringList>

namespace arbor {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };
enum class Severity { Information, Question, Warning, Critical };

struct FileDialogRequest {
    enum class Mode { Open, Save, Folder };
    Mode mode = Mode::Open;
    QString title;
    QString folder;       // initial folder
    QString fileName;     // initial file name
    QStringList filters;  // "文書ﾃﾞｰﾀｰﾍﾞｰｽ(*.txdb)" ...
    int filterIndex = 0;
};

class Prompter {
  public:
    virtual ~Prompter() = default;
    // A message box; returns the button the user chose.
    virtual Answer ask(const QString& text, Buttons buttons, Severity severity) = 0;
    // Database password dialog: returns the password, or empty when the user gives up.
    virtual QString password(const QString& fileName) = 0;
    // A one-line input box; ok false when cancelled.
    virtual QString input(const QString& title, const QString& prompt, const QString& initial,
                          bool& ok) = 0;
    // A file dialog; empty when cancelled.
    virtual QString chooseFile(const FileDialogRequest& request) = 0;

    void message(const QString& text, Severity severity = Severity::Information) {
        ask(text, Buttons::Ok, severity);
    }
    bool confirm(const QString& text) {
        return ask(text, Buttons::OkCancel, Severity::Question) == Answer::Ok;
    }
};

// Answers without a person: messages go to standard error, questions take the
// cautious answer (Cancel or No) unless told to agree, passwords come from the
// environment variable ARBOR_PASSWORD.
class BatchPrompter : public Prompter {
  public:
    explicit BatchPrompter(bool agree = false) : agree_(agree) {}
    Answer ask(const QString& text, Buttons buttons, Severity severity) override;
    QString password(const QString& fileName) override;
    QString input(const QString& title, const QString& prompt, const QString& initial,
                  bool& ok) override;
    QString chooseFile(const FileDialogRequest& request) override;

  private:
    bool agree_;
};

// The prompter in use; a BatchPrompter until another one is installed.
Prompter& prompter();
// Installs p (not owned; nullptr restores the batch prompter). Returns the previous one.
Prompter* setPrompter(Prompter* p);

// Installs a prompter for the lifetime of the guard.
class ScopedPrompter {
  public:
    explicit ScopedPrompter(Prompter& p) : previous_(setPrompter(&p)) {}
    ~ScopedPrompter() { setPrompter(previous_); }
    ScopedPrompter(const ScopedPrompter&) = delete;
    ScopedPrompter& operator=(const ScopedPrompter&) = delete;

  private:
    Prompter* previous_;
};

}  // namespace arbor
