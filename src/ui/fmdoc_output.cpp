// The main window's output menu: the HTML export and the EPUB book here, the Word
// documents in fmdoc_word_output.cpp. The work is in web/
// and epub/; this file asks, saves the page being edited and shows the result.
#include <QDir>
#include <QFileInfo>

#include "app/program_state.h"
#include "app/prompter.h"
#include "app/shell_ops.h"
#include "db/zsvr.h"
#include "epub/book_settings.h"
#include "epub/yepub.h"
#include "ui/fmdoc.h"
#include "ui/fmdoc_word_output.h"
#include "ui/sbepub.h"
#include "ui/sbhtm.h"
#include "ui/utxm.h"
#include "web/htm_export.h"

namespace arbor::ui {

void fmDoc::runOutputCommand(int index) {
    if (!zSvr::instance().isOpen())
        return;
    // The page being edited goes out as it stands on screen.
    if (currentPage_ > 0 && !editor_->ChkUdt())
        return;
    if (index == 0)
        exportHtml();
    else if (index == 1)
        publishEpub();
    else
        runWordOutputCommand(*this, index);
}

void fmDoc::exportHtml() {
    web::HtmExportRequest request;
    request.folder = web::defaultHtmFolder();
    sbHtm dialog(this, request);
    bool openResult = true;
    if (!dialog.Act(request, openResult))
        return;
    G().BusyFlag = true;
    const web::HtmExportReport report = web::exportHtm(request);
    G().BusyFlag = false;
    if (!report.ok) {
        prompter().message(report.message, Severity::Warning);
        return;
    }
    QString line =
        QStringLiteral("%1 ﾍﾟｰｼﾞを %2 に出力しました").arg(report.written).arg(report.folder);
    if (!report.problems.isEmpty())
        line += QStringLiteral(" HTM出力できませんでした: %1").arg(report.problems.size());
    status(line, report.problems.isEmpty() ? 0 : 4);
    if (openResult && !report.entryPath.isEmpty())
        A_ViewIE(report.entryPath);
}

void fmDoc::publishEpub() {
    epub::BookSettings settings;
    epub::loadBookSettings(settings);
    sbEpub dialog(this, settings, currentPage_ > 0);
    const int range = dialog.Act(settings);
    if (range == 0)
        return;
    QString error;
    if (!zSvr::instance().readOnly() && !epub::saveBookSettings(settings, error))
        prompter().message(error, Severity::Warning);
    yEpub::Request request;
    request.range = range;
    request.currentPage = currentPage_;
    request.settings = settings;
    G().BusyFlag = true;
    const yEpub::Report report = yEpub().Publish(request);
    G().BusyFlag = false;
    if (!report.ok) {
        if (!report.cancelled)
            prompter().message(QStringLiteral("epub 出力に失敗しました\n") + report.message,
                               Severity::Warning);
        return;
    }
    status(summaryOf(report), report.problems.isEmpty() ? 0 : 4);
    if (settings.openFolder)
        A_ViewIE(QFileInfo(report.outputPath).absolutePath());
    else
        prompter().message(report.outputPath + QStringLiteral(" に出力しました"));
}

}  // namespace arbor::ui
