#include "ui/dialog_prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace arbor::ui {

namespace {

QMessageBox::Icon iconOf(Severity severity) {
    switch (severity) {
        case Severity::Question:
            return QMessageBox::Question;
        case Severity::Warning:
            return QMessageBox::Warning;
        case Severity::Critical:
            return QMessageBox::Critical;
        case Severity::Information:
            break;
    }
    return QMessageBox::Information;
}

QString programTitle() {
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Arbor") : name;
}

}  // namespace

QString DialogPrompter::displayText(const QString& text) {
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

Answer DialogPrompter::ask(const QString& text, Buttons buttons, Severity severity) {
    QMessageBox box(iconOf(severity), programTitle(), displayText(text), QMessageBox::NoButton,
                    parent_);
    box.setTextFormat(Qt::PlainText);
    QAbstractButton* ok = nullptr;
    QAbstractButton* cancel = nullptr;
    QAbstractButton* yes = nullptr;
    QAbstractButton* no = nullptr;
    switch (buttons) {
        case Buttons::Ok:
            ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            break;
        case Buttons::OkCancel:
            ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
            cancel = box.addButton(QStringLiteral("ｷｬﾝｾﾙ"), QMessageBox::RejectRole);
            break;
        case Buttons::YesNo:
            yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
            no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
            break;
        case Buttons::YesNoCancel:
            yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
            no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
            cancel = box.addButton(QStringLiteral("ｷｬﾝｾﾙ"), QMessageBox::RejectRole);
            break;
    }
    box.setEscapeButton(cancel ? cancel : no ? no : ok);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked == ok)
        return Answer::Ok;
    if (clicked == yes)
        return Answer::Yes;
    if (clicked == no)
        return Answer::No;
    if (clicked == cancel || !clicked)
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    return Answer::Cancel;
}

QString DialogPrompter::password(const QString& fileName) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, QStringLiteral("ﾊﾟｽﾜｰﾄﾞ"),
                                               fileName + QStringLiteral(" のﾊﾟｽﾜｰﾄﾞ"),
                                               QLineEdit::Password, QString(), &ok);
    return ok ? text : QString();
}

QString DialogPrompter::input(const QString& title, const QString& prompt, const QString& initial,
                              bool& ok) {
    ok = false;
    const QString text =
        QInputDialog::getText(parent_, title, displayText(prompt), QLineEdit::Normal, initial, &ok);
    return ok ? text : initial;
}

QString DialogPrompter::chooseFile(const FileDialogRequest& request) {
    QString start = request.folder;
    if (!request.fileName.isEmpty())
        start = start.isEmpty() ? request.fileName : start + u'/' + request.fileName;
    else if (!start.isEmpty() && !start.endsWith(u'/'))
        start += u'/';  // a folder, not a file name typed in for the user
    const QString filters = request.filters.join(QStringLiteral(";;"));
    const QString selected = request.filters.value(request.filterIndex);
    QString chosenFilter = selected;
    switch (request.mode) {
        case FileDialogRequest::Mode::Save:
            return QFileDialog::getSaveFileName(parent_, request.title, start, filters,
                                                &chosenFilter);
        case FileDialogRequest::Mode::Folder:
            return QFileDialog::getExistingDirectory(parent_, request.title, start);
        case FileDialogRequest::Mode::Open:
            break;
    }
    return QFileDialog::getOpenFileName(parent_, request.title, start, filters, &chosenFilter);
}

}  // namespace arbor::ui
