#pragma once
// A prompter for tests: answers come from a queue, every text is recorded.

#include <QString>
#include <QStringList>
#include <deque>

#include "app/prompter.h"

namespace arbor::test {

class ScriptedPrompter : public Prompter {
  public:
    // Answers for ask(), taken in order; when empty, Ok/Yes is the answer.
    std::deque<Answer> answers;
    std::deque<QString> passwords;
    std::deque<QString> inputs;
    std::deque<QString> files;
    QStringList messages;      // every text shown by ask()
    QStringList passwordAsks;  // file names the password dialog was shown for
    QList<FileDialogRequest> fileRequests;

    Answer ask(const QString& text, Buttons buttons, Severity) override {
        messages << text;
        if (!answers.empty()) {
            Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes
                                                                            : Answer::Ok;
    }
    QString password(const QString& fileName) override {
        passwordAsks << fileName;
        return pop(passwords);
    }
    QString input(const QString&, const QString&, const QString& initial, bool& ok) override {
        ok = !inputs.empty();
        return ok ? pop(inputs) : initial;
    }
    QString chooseFile(const FileDialogRequest& request) override {
        fileRequests << request;
        return pop(files);
    }

  private:
    static QString pop(std::deque<QString>& q) {
        if (q.empty())
            return {};
        QString s = q.front();
        q.pop_front();
        return s;
    }
};

// Installs a ScriptedPrompter for the scope of a test.
class PrompterFixture {
  public:
    PrompterFixture() : guard_(prompter) {}
    ScriptedPrompter prompter;

  private:
    ScopedPrompter guard_;
};

}  // namespace arbor::test
