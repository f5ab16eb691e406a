#pragma once
// A private desktop for one test: HOME, XDG_DATA_HOME and XDG_CONFIG_HOME point into a
// temporary folder, nothing is opened on the real desktop, and the program-wide state
// starts empty. Everything is restored when the test ends.

#include <gtest/gtest.h>

#include <unistd.h>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>
#include <QUrl>
#include <map>
#include <string>

#include "app/program_state.h"
#include "app/shell_ops.h"
#include "support/qt_printers.h"
#include "support/scripted_prompter.h"

namespace arbor::test {

class AppTestEnv {
  public:
    AppTestEnv() {
        for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
            saved_[name] = qgetenv(name);
            had_[name] = qEnvironmentVariableIsSet(name);
        }
        QDir().mkpath(path("home"));
        QDir().mkpath(path("home/.local/share"));
        QDir().mkpath(path("home/.config"));
        qputenv("HOME", QFile::encodeName(path("home")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(path("home/.local/share")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("home/.config")));
        previousOpener_ = setUrlOpener([this](const QUrl& url) {
            opened << url;
            return true;
        });
        G() = ProgramState{};
    }
    ~AppTestEnv() {
        setUrlOpener(previousOpener_);
        for (const auto& [name, value] : saved_) {
            if (had_[name])
                qputenv(name.c_str(), value);
            else
                qunsetenv(name.c_str());
        }
        G() = ProgramState{};
    }
    AppTestEnv(const AppTestEnv&) = delete;
    AppTestEnv& operator=(const AppTestEnv&) = delete;

    // A path inside the temporary folder.
    QString path(const QString& relative = QString()) const {
        return relative.isEmpty() ? dir_.path() : dir_.filePath(relative);
    }
    QString dataHome() const { return path("home/.local/share"); }
    QString configHome() const { return path("home/.config"); }

    static bool isRoot() { return ::geteuid() == 0; }

    QList<QUrl> opened;  // what would have been handed to the desktop

  private:
    QTemporaryDir dir_;
    std::map<std::string, QByteArray> saved_;
    std::map<std::string, bool> had_;
    UrlOpener previousOpener_;
};

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace arbor::test
