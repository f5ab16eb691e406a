// uTxm: files (read, insert, save as), pictures, printing and the print preview.
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardPaths>

#include "app/progress.h"
#include "app/prompter.h"
#include "app/text_cut.h"
#include "editor/editor_texts.h"
#include "editor/page_painter.h"
#include "editor/rich_text.h"
#include "exchange/page_files.h"
#include "ui/page_view.h"
#include "ui/utxm_parts.h"

namespace arbor::ui {

namespace {

QString documentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

// A file name made of the page's title.
QString fileNameOf(const QString& title) {
    QString name = title.trimmed();
    static const QString unsafe = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : name)
        if (unsafe.contains(c) || c.isSpace())
            c = u'_';
    return name.isEmpty() ? QStringLiteral("文書") : leftCharacters(name, 80);
}

}  // namespace

bool uTxm::Parts::readFile() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = edtext::kReadFileCaption;
    request.folder = documentsFolder();
    request.filters = edtext::filterLines(edtext::readFilters());
    const QString path = prompter().chooseFile(request);
    if (path.isEmpty())
        return false;
    // The page's unsaved changes would be gone: ask first.
    if (modified && !prompter().confirm(edtext::kInitQuestion))
        return false;
    QString error;
    if (!pagefiles::loadFile(*text, path, error)) {
        message(error);
        return false;
    }
    // The page now holds the file, not what is stored.
    setUnsaved();
    view->moveCursor(QTextCursor::Start);
    status(QFileInfo(path).fileName() + QStringLiteral(" を読み込みました"));
    return true;
}

bool uTxm::Parts::insertTextFile() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = edtext::kInsertTextCaption;
    request.folder = documentsFolder();
    request.filters = edtext::filterLines(edtext::kFilterText + edtext::readFilters());
    const QString path = prompter().chooseFile(request);
    if (path.isEmpty())
        return false;
    QString error;
    view->pushCursor();
    if (!pagefiles::insertFile(*text, path, error)) {
        message(error);
        return false;
    }
    view->pullCursor();
    return true;
}

bool uTxm::Parts::insertPicture() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = edtext::kPictureCaption;
    request.folder = settings.picturePath.isEmpty() ? documentsFolder() : settings.picturePath;
    request.filters = edtext::filterLines(edtext::pictureFilters());
    const QString path = prompter().chooseFile(request);
    if (path.isEmpty())
        return false;
    QString error;
    view->pushCursor();
    if (!text->insertPictureFile(path, error)) {
        message(error + QStringLiteral("\n") + path);
        return false;
    }
    view->pullCursor();
    return true;
}

bool uTxm::Parts::saveToFile(const QString& path) {
    if (pagefiles::kindOf(path) == pagefiles::FileKind::Html)
        emit q->eAskHtmHd();
    QString error;
    if (!pagefiles::saveFile(*text, path, error)) {
        message(error);
        return false;
    }
    status(QFileInfo(path).fileName() + QStringLiteral(" に保存しました"));
    return true;
}

bool uTxm::Parts::saveAs() {
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = edtext::kSaveDialogCaption;
    request.filters = edtext::filterLines(edtext::saveAsFilters());
    request.filterIndex = edtext::docxFilterIndex();
    request.folder = documentsFolder();
    request.fileName = fileNameOf(title->text()) + QStringLiteral(".docx");
    QString path = prompter().chooseFile(request);
    if (path.isEmpty())
        return false;
    // The dialog's filter is not reported back: a name without an extension is a Word file.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".docx");
    if (!saveToFile(path))
        return false;
    emit q->eSaveAs();
    return true;
}

void uTxm::Parts::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title->text());
    QPrintDialog dialog(&printer, q);
    dialog.setWindowTitle(QStringLiteral("印刷"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString error;
    if (!printing::paintPage(text->parts(), printer, error, printer.fromPage(), printer.toPage()))
        message(error);
}

void uTxm::Parts::preview() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title->text());
    QPrintPreviewDialog dialog(&printer, q);
    dialog.setWindowTitle(QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ"));
    dialog.resize(q->window()->size() * 0.9);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, q, [this](QPrinter* p) {
        QString error;
        if (!printing::paintPage(text->parts(), *p, error))
            message(error);
    });
    dialog.exec();
}

}  // namespace arbor::ui
