// The work itself is in exchange/; this file asks, saves the page on screen and shows
// the result.
#include "ui/fmdoc_word_output.h"

#include "app/program_state.h"
#include "app/prompter.h"
#include "app/yini.h"
#include "db/zsvr.h"
#include "editor/page_settings.h"
#include "exchange/word_copies.h"
#include "exchange/word_export.h"
#include "tree/page_tree.h"
#include "ui/fmdoc.h"
#include "ui/ufky.h"
#include "ui/utrx.h"
#include "ui/utxm.h"
#include "ui/word_export_dialog.h"

namespace arbor::ui {

namespace {

// The choices of the last export, offered again.
word::ExportRequest& lastRequest() {
    static word::ExportRequest request;
    return request;
}

// Up to a screenful of problem rows.
QString rows(const QStringList& lines) {
    QString text;
    for (const QString& l : lines.mid(0, 20))
        text += u'\n' + l;
    if (lines.size() > 20)
        text += QStringLiteral("\n… ほか ") + QString::number(lines.size() - 20) +
                QStringLiteral(" 件");
    return text;
}

void exportDocument(fmDoc& window) {
    const int current = window.currentPage();
    // The page on screen goes in as it stands.
    if (current > 0 && !window.editor()->ChkUdt())
        return;
    word::ExportRequest request = lastRequest();
    if (request.path.isEmpty())
        request.path =
            pathForKind(G().WrkPath + G().DbName + QStringLiteral(".docx"), request.kind);
    if (!WordExportDialog::ask(&window, request, current > 0))
        return;
    lastRequest() = request;
    const tree::PageTree* tree = window.tree()->tree();
    const tree::PageTree::NodeNumbers shown = tree->GetPrCdNo(tree->currentKey());
    request.currentPage = current;
    request.currentParent = shown.page.toInt() == current ? shown.parent.toInt() : 0;
    request.page = readPageSettings(Ini());

    G().BusyFlag = true;
    const word::ExportReport report = word::ExportToWord(request);
    G().BusyFlag = false;
    if (report.empty) {
        prompter().message(QStringLiteral("ｱｲﾃﾑがありません"));
        return;
    }
    if (report.cancelled) {
        window.keyBar()->PanelTx(word::summaryOf(report));
        return;
    }
    if (!report.written) {
        prompter().message(
            QStringLiteral("文書を出力できませんでした\n") + report.path + u'\n' + report.error,
            Severity::Warning);
        return;
    }
    window.keyBar()->PanelTx(word::summaryOf(report));
    if (!report.failures.isEmpty() || !report.warnings.isEmpty())
        prompter().message(word::summaryOf(report) + rows(report.failures + report.warnings),
                           Severity::Warning);
    Ini().W_ExpFd(report.path, true);
}

void backup(fmDoc& window) {
    if (window.currentPage() > 0 && !window.editor()->ChkUdt())
        return;
    G().BusyFlag = true;
    const word::BackupReport report = word::BackupToWord(true);
    G().BusyFlag = false;
    if (!report.asked)
        return;
    const bool clean =
        report.outcome.ok && report.outcome.problems.isEmpty() && !report.outcome.cancelled;
    prompter().message(word::backupMessage(report),
                       clean ? Severity::Information : Severity::Warning);
}

}  // namespace

void runWordOutputCommand(fmDoc& window, int index) {
    if (index == 2)
        exportDocument(window);
    else if (index == 3)
        backup(window);
}

}  // namespace arbor::ui
