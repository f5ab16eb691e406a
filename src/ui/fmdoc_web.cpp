// The main window's web menu: previews, the site updates of every mode, the site map, the
// link checker and the publish right. The work itself is in web/; this file asks, saves and shows.
#include <QFileInfo>

#include "app/program_state.h"
#include "app/prompter.h"
#include "app/shell_ops.h"
#include "db/publish_right.h"
#include "db/zsvr.h"
#include "tree/page_tree.h"
#include "ui/fmdoc.h"
#include "ui/sblnk.h"
#include "ui/site_settings_window.h"
#include "ui/style_sheet_window.h"
#include "ui/unused_files_window.h"
#include "ui/utrx.h"
#include "ui/utxm.h"
#include "web/site_commands.h"
#include "web/site_folders.h"
#include "web/unused_site_files.h"
#include "web/yhtm_site_conversion.h"

namespace arbor::ui {

web::SiteConversion& fmDoc::siteConversion() {
    if (!siteConversion_)
        siteConversion_ = web::makeSiteConversion();
    return *siteConversion_;
}

void fmDoc::runWebCommand(const QString& array, int index) {
    if (!zSvr::instance().isOpen())
        return;
    if (array == QLatin1String("mnWebUp")) {
        const int modes[] = {0, -9, 1, 2, -2};
        if (index < 0 || index > 4 || modes[index] == -9)
            return;
        updateSite(modes[index], true);
        return;
    }
    switch (index) {
        case 0:
            previewWithMenus();
            break;
        case 2:
            updateSite(static_cast<int>(web::UpdateMode::Sync), false);
            break;
        case 4:
        case 6:
        case 10:
            openWebWindow(index);
            break;
        case 7:
            makeSiteMap();
            break;
        case 9:
            checkLinks();
            break;
        case 12:
            if (ResetPubPc())
                status(QStringLiteral("Web出力PCの初期化を行いました"));
            break;
        default:
            break;
    }
}

// The site settings (4), the template editor (6) and the unused files (10): windows that
// stay open beside the main window.
void fmDoc::openWebWindow(int index) {
    if (!ChkPubPc(1))
        return;
    web::PrepareSiteFolders();
    QDialog* window = nullptr;
    if (index == 4) {
        auto* settings = new SiteSettingsWindow(siteConversion(), this);
        settings->ShowSiteSettings(currentPage_);
        window = settings;
    } else if (index == 6) {
        const tree::PageTree::NodeNumbers shown =
            tree_->tree()->GetPrCdNo(tree_->tree()->currentKey());
        window = new StyleSheetWindow(siteConversion(), currentPage_,
                                      currentPage_ > 0 ? shown.parent.toInt() : 0, this);
    } else {
        QString error;
        if (!web::recomputePageUse(error)) {
            prompter().message(QStringLiteral("ﾍﾟｰｼﾞの使用状況を更新できません\n") + error,
                               Severity::Warning);
            return;
        }
        auto* unused = new UnusedFilesWindow(siteConversion(), this);
        if (!unused->refresh()) {
            delete unused;
            return;
        }
        window = unused;
    }
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

void fmDoc::previewWithMenus() {
    if (currentPage_ <= 0) {
        prompter().message(QStringLiteral("ﾍﾟｰｼﾞが指定されていません"));
        return;
    }
    updateSite(static_cast<int>(web::UpdateMode::Sync), true);
}

void fmDoc::updateSite(int mode, bool openCurrent) {
    const auto updateMode = static_cast<web::UpdateMode>(mode);
    if (!ChkPubPc(1))
        return;
    web::SiteBuildRequest request;
    request.mode = updateMode;
    if ((updateMode == web::UpdateMode::CurrentNode ||
         updateMode == web::UpdateMode::CurrentNodeAndBelow) &&
        currentPage_ <= 0) {
        prompter().message(QStringLiteral("ﾍﾟｰｼﾞが指定されていません"));
        return;
    }
    if (updateMode == web::UpdateMode::SinceDate && !web::askSinceDate(request.since))
        return;
    // The page being edited goes into the site as it stands on screen.
    if (currentPage_ > 0 && !editor_->ChkUdt())
        return;
    const tree::PageTree::NodeNumbers shown = tree_->tree()->GetPrCdNo(tree_->tree()->currentKey());
    request.currentPage = currentPage_;
    request.currentParent = shown.page.toInt() == currentPage_ ? shown.parent.toInt() : 0;
    G().BusyFlag = true;
    const web::SiteBuildReport report = web::runSiteUpdate(siteConversion(), request);
    G().BusyFlag = false;
    if (!report.started || report.cancelled) {
        if (report.cancelled)
            status(web::summaryOf(report), 4);
        return;
    }
    status(web::summaryOf(report), report.failed > 0 ? 4 : 0);
    const QString shownFile = openCurrent && currentPage_ > 0 ? report.currentFile : report.topFile;
    if (shownFile.isEmpty())
        return;
    if (!QFileInfo(shownFile).isFile()) {
        prompter().message(
            shownFile + QStringLiteral(" が見つかりません　サイトの更新を行って下さい"),
            Severity::Warning);
        return;
    }
    A_ViewIE(shownFile);
}

void fmDoc::makeSiteMap() {
    if (!ChkPubPc(1))
        return;
    const int top = zSvr::instance()
                        .R_GtVaL(QStringLiteral("Select Top 1 noLfC From tbTree Where boHide=0 "
                                                "And noLfP = 0 Order By inSrt"),
                                 0)
                        .toInt();
    int root = 0;
    QString name = QStringLiteral("sitemap.htm");
    if (currentPage_ != top || top == 0) {
        if (currentPage_ <= 0) {
            prompter().message(QStringLiteral("ﾍﾟｰｼﾞが指定されていません"));
            return;
        }
        if (!prompter().confirm(QStringLiteral("トップページが指定されていないので、現在のページ以"
                                               "下のマップとなりますが、良いですか")))
            return;
        root = currentPage_;
        name = QStringLiteral("sitemap_") + QString::number(currentPage_) + QStringLiteral(".htm");
    }
    web::PrepareSiteFolders();
    const QString path = web::siteTemplateFolder() + name;
    QString error;
    if (!web::writeSiteMap(root, path, error)) {
        prompter().message(QStringLiteral("ｻｲﾄﾏｯﾌﾟを作成できません\n") + error, Severity::Warning);
        return;
    }
    status(path + QStringLiteral(" を作成しました"));
    A_ViewIE(path);
}

void fmDoc::checkLinks() {
    if (!ChkPubPc(1))
        return;
    // The check reads the stored pages: the page on screen is saved first.
    if (currentPage_ > 0 && !editor_->ChkUdt())
        return;
    auto* window = findChild<sbLnk*>();
    if (!window) {
        window = new sbLnk(this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        // A repair may have changed the page on screen: it is loaded again after each run.
        connect(window, &sbLnk::checked, this, [this] {
            if (currentPage_ > 0)
                ShowPage(currentPage_, QString(), 3, true);
        });
    }
    window->show();
    window->raise();
    G().BusyFlag = true;
    window->CheckLinks();
    G().BusyFlag = false;
    emit window->checked();
}

}  // namespace arbor::ui
