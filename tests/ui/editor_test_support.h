#pragma once
// What the editor's widget tests share: an editor on screen (offscreen) with its events
// recorded, input sent as a person would give it, and answers for modal dialogs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/yini.h"
#include "editor/rich_text.h"
#include "editor/user_formats.h"
#include "support/scripted_prompter.h"
#include "ui/page_view.h"
#include "ui/utxm.h"

namespace arbor::test {

// Runs `answer` on the next modal dialog of type T once it is shown (its exec() loop is
// running), then closes it as the answer says: accepted when it returns true.
template <typename T>
void answerDialog(std::function<bool(T*)> answer, bool* seen = nullptr) {
    auto tries = std::make_shared<int>(0);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [answer, seen, tries, poll] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            if (seen)
                *seen = true;
            if (answer(dialog))
                dialog->accept();
            else
                dialog->reject();
            return;
        }
        if (++*tries < 200)
            QTimer::singleShot(5, *poll);
    };
    QTimer::singleShot(0, *poll);
}

inline void sendKey(QWidget* w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(w, &release);
}

inline void typeText(QWidget* w, const QString& text) {
    for (QChar c : text)
        sendKey(w, 0, Qt::NoModifier, QString(c));
}

inline void clickAt(QWidget* w, const QPoint& p, Qt::KeyboardModifiers modifiers) {
    const QPointF local(p);
    const QPointF global(w->mapToGlobal(p));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      modifiers);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        modifiers);
    QApplication::sendEvent(w, &release);
}

// Sets the update confirmation ("更新確認") the editor reads at cOn.
inline void setUpdateConfirmSetting(const QString& value) {
    Ini().GetGtx(QStringLiteral("TX_USR"));
    Ini().SetVal(QStringLiteral("更新確認"), value);
    Ini().SetGtx();
}

class EditorFixture : public ::testing::Test {
  protected:
    PrompterFixture ui;
    std::unique_ptr<ui::uTxm> editor;
    QStringList events;

    void SetUp() override {
        Frmt::instance().resetToDefaults();
        Frmt::instance().UsrDtp = true;
        Frmt::instance().UsrEntShift = true;
        setUpdateConfirmSetting(QStringLiteral("確認"));
        // Display settings other tests left behind.
        Ini().GetGtx(QStringLiteral("TX_DISP"));
        Ini().SetVal(QStringLiteral("ZOOM"), 100);
        Ini().SetVal(QStringLiteral("MODE"), 0);
        Ini().SetGtx();
        start();
    }
    void TearDown() override { editor.reset(); }

    // A new editor, started, shown and with its events recorded.
    void start() {
        events.clear();
        editor = std::make_unique<ui::uTxm>();
        editor->setWindowTitle(QStringLiteral("Page[*]"));
        editor->resize(800, 600);
        editor->setCTyp(2);
        editor->cOn();
        editor->show();
        QApplication::processEvents();
        using E = ui::uTxm;
        auto* e = editor.get();
        QObject::connect(e, &E::eSaveDB, [this] { events << "eSaveDB"; });
        QObject::connect(e, &E::eAskSavePh, [this](QString* path) {
            events << "eAskSavePh:" + *path;
            if (!savePathAnswer.isNull())
                *path = savePathAnswer;
        });
        QObject::connect(e, &E::eUdtFld, [this] { events << "eUdtFld"; });
        QObject::connect(e, &E::eRtAct,
                         [this](int code) { events << QString("eRtAct:%1").arg(code); });
        QObject::connect(e, &E::eClckLink, [this](const QString& kind, const QString& target) {
            events << "eClckLink:" + kind + "|" + target;
        });
        QObject::connect(e, &E::ePickTagPage, [this] { events << "ePickTagPage"; });
        QObject::connect(e, &E::eSaveAs, [this] { events << "eSaveAs"; });
        QObject::connect(e, &E::eAskHtmHd, [this] { events << "eAskHtmHd"; });
    }

    QString savePathAnswer;  // what eAskSavePh answers (null: leaves the path)

    RichText& text() { return editor->GetObj(); }
    QTextDocument& body() { return *text().body(); }
    ui::PageView* view() { return editor->findChild<ui::PageView*>(QStringLiteral("mTxt")); }
    QString plain() { return text().plainText(); }

    // A page loaded as the main window loads one: not modified.
    void load(const QString& content) {
        RichText source;
        source.setText(content);
        ASSERT_TRUE(editor->SetData(source.saveBytes(), true));
    }
    void select(int start, int length) {
        QTextCursor c(&body());
        c.setPosition(start);
        c.setPosition(start + length, QTextCursor::KeepAnchor);
        view()->setTextCursor(c);
    }
    void caretAt(int position) { select(position, 0); }
};

}  // namespace arbor::test
