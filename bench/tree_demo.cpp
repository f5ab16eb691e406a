// Shows the page tree, the bulk window and the reverse lookup window on a generated
// collection and saves screenshots of each state, for looking at them.
//
//   tree_demo OUTPUT_FOLDER
// Not part of the program: a stand-in main window answers the tree's events.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>

#include "app/prompter.h"
#include "collection_generator.h"
#include "db/schema.h"
#include "db/zsvr.h"
#include "editor/byte_format.h"
#include "editor/document_model.h"
#include "tree/page_tree.h"
#include "tree/tree_messages.h"
#include "ui/dialog_prompter.h"
#include "ui/page_tree_view.h"
#include "ui/sbrev.h"
#include "ui/sbtrret.h"
#include "ui/tree_menu.h"
#include "ui/utrx.h"

using namespace arbor;

namespace {

QString outDir;

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void shot(QWidget* w, const QString& name) {
    settle();
    w->grab().save(outDir + u'/' + name + QStringLiteral(".png"));
}

void exec(const QString& sql) {
    if (!zSvr::instance().D_ExeSq(sql))
        qWarning("%s: %s", qPrintable(sql), qPrintable(zSvr::instance().lastError()));
}

// A readable collection on top of a small generated one.
void decorate() {
    exec(QStringLiteral(
        "Update tbTree Set szDoc='はじめに　このサイトについて' Where noLfP=0 And noLfC=1001"));
    exec(QStringLiteral("Update tbTree Set boHogo=1 Where noLfP=1001 And noLfC=1006"));
    exec(QStringLiteral("Update tbTree Set boHide=1 Where noLfP=0 And noLfC=1003"));
    exec(QStringLiteral(
        "Update tbTree Set szDoc='下書き（公開しない）' Where noLfP=0 And noLfC=1003"));
    exec(QStringLiteral("Update msDoc Set boCod=1 Where noDoc=1002"));
    exec(QStringLiteral("Update tbTree Set szDoc='お知らせ' Where noLfP=0 And noLfC=1002"));
    exec(QStringLiteral("Update msDoc Set saTgs='.1005.' Where noDoc=1007"));
}

// One page with real rich text and a tag link, as the editor stores it.
void storeRichPage(int page, int tagTarget) {
    QTextDocument body;
    QTextCursor c(&body);
    QTextCharFormat heading;
    heading.setFontPointSize(16);
    heading.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("章1-1 について"), heading);
    c.insertBlock();
    QTextCharFormat plain;
    c.insertText(QStringLiteral("本文の段落です。関連するﾍﾟｰｼﾞへのﾀｸﾞ: "), plain);
    const QString data = QStringLiteral("TG_") + QString::number(tagTarget);
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(data);
    link.setForeground(Qt::blue);
    link.setFontUnderline(true);
    link.setProperty(doc::FieldId, 1);
    link.setProperty(doc::FieldData, data);
    c.insertText(QStringLiteral("章1-2 を見る"), link);
    c.insertText(QStringLiteral("。"), plain);
    doc::DocumentParts parts;
    parts.body = &body;
    zSvr::instance().execBound(QStringLiteral("Update msDoc Set obDoc=? Where noDoc=?"),
                               {byteformat::save(parts), page});
}

class Host : public QMainWindow {
  public:
    Host() {
        auto* split = new QSplitter(this);
        tree = new ui::uTrX(split);
        editor = new QTextEdit(split);
        editor->setPlaceholderText(QStringLiteral("(ﾍﾟｰｼﾞの編集領域)"));
        split->addWidget(tree);
        split->addWidget(editor);
        split->setStretchFactor(1, 2);
        setCentralWidget(split);
        resize(900, 600);
        split->setSizes({300, 600});
        tree::PageTree* t = tree->tree();
        connect(t, &tree::PageTree::eFmMsg, this,
                [this](const QString& s) { statusBar()->showMessage(s); });
        connect(t, &tree::PageTree::eSetDoc, this,
                [this, t](const QString& label, const QString& page, const QString&, int kind,
                          bool prot) {
                    if (kind == tree::kNoPage)
                        return;
                    t->SetTmpKy();
                    if (kind == tree::kTreeNode)
                        t->SetRcnt(page, label);
                    editor->setPlainText(tree::readPageContent(page.toInt()).text);
                    statusBar()->showMessage(prot ? tree::msg::protectedPage()
                                                  : QStringLiteral("文書No:") + page);
                });
        connect(tree, &ui::uTrX::menuCommand, this, [t](int index) {
            if (index <= 2)
                t->trNew(index, QString());
        });
    }
    ui::uTrX* tree;
    QTextEdit* editor;
};

QModelIndex child(const tree::PageTree& t, const QModelIndex& parent, const QString& label) {
    for (int r = 0; r < t.model()->rowCount(parent); ++r)
        if (t.model()->index(r, 0, parent).data().toString() == label)
            return t.model()->index(r, 0, parent);
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        qWarning("usage: tree_demo OUTPUT_FOLDER");
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    ui::DialogPrompter dialogs;
    ScopedPrompter prompterGuard(dialogs);

    QTemporaryDir scratch;
    const QString path = scratch.path() + QStringLiteral("/demo.txdb");
    QString error;
    const QStringList schema =
        readSchemaStatements(QStringLiteral(ARBOR_SOURCE_APDATA "schema.sql"), error);
    bool ok = createDocumentDbFile(path, schema, QString(), error);
    zSvr::instance().D_StDcDb(path, ok);
    bench::CollectionShape shape;
    shape.topPages = 4;
    shape.fanOut = 4;
    shape.depth = 3;
    shape.crossLinks = 6;
    shape.wideChildren = 12;
    shape.wordEvery = 7;
    bench::CollectionFacts facts;
    if (!ok || !bench::generateCollection(shape, facts, error)) {
        qWarning("cannot make the demo database: %s", qPrintable(error));
        return 1;
    }
    decorate();

    Host host;
    dialogs.setParent(&host);
    tree::PageTree* t = host.tree->tree();
    t->SetNodes(QStringLiteral("0"), false);
    host.show();
    const QModelIndex first = t->model()->index(0, 0);
    t->openNode(first);
    host.tree->trView()->expand(first);
    const QModelIndex sub = child(*t, first, QStringLiteral("章1-2"));
    t->openNode(sub);
    host.tree->trView()->expand(sub);
    host.tree->trView()->expand(child(*t, QModelIndex(), QStringLiteral("章4")));
    t->openNode(child(*t, first, QStringLiteral("章1-1")));
    shot(&host, QStringLiteral("01-tree"));

    // A tag node, a cut node and a new page placeholder.
    t->selectNode(child(*t, first, QStringLiteral("章1-3")));
    t->trCopy(true);
    t->selectNode(child(*t, first, QStringLiteral("章1-1")));
    t->TagTree(QStringLiteral("1007"), QStringLiteral("章1-1-2へのﾀｸﾞ"));
    t->selectNode(child(*t, first, QStringLiteral("章1-4")));
    t->trNew(1, QString());
    shot(&host, QStringLiteral("02-tag-cut-new"));

    // The collecting page and its list.
    t->openNode(child(*t, QModelIndex(), QStringLiteral("お知らせ")));
    t->cdNew();
    shot(&host, QStringLiteral("03-collecting"));

    // The search tab.
    t->SetFrame(2);
    host.tree->cmbFind()->setCurrentText(facts.searchWord);
    host.tree->cmdFind()->click();
    shot(&host, QStringLiteral("04-search"));

    // The recent pages.
    t->SetFrame(3);
    shot(&host, QStringLiteral("05-recent"));

    // The context menu.
    t->SetFrame(1);
    t->openNode(child(*t, first, QStringLiteral("章1-2")));
    t->trCopy(false);
    host.tree->popupMenu(host.mapToGlobal(QPoint(120, 120)));
    settle();
    shot(host.tree->mnTree()->menu(), QStringLiteral("06-menu"));
    host.tree->mnTree()->menu()->close();

    // Label editing.
    t->StratEdt();
    shot(&host, QStringLiteral("07-label-edit"));
    host.tree->trView()->closePersistentEditor(t->selectedIndex());
    host.tree->setFocus();
    settle();

    // A question box: the delete warning.
    QTimer::singleShot(300, [] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            shot(box, QStringLiteral("08-delete-question"));
            for (auto* b : box->findChildren<QPushButton*>())
                if (b->text() != QLatin1String("OK"))
                    b->click();  // cancel: nothing is deleted
        }
    });
    t->selectNode(child(*t, first, QStringLiteral("章1-1")));
    host.tree->runMenuItem(17);

    // The bulk windows.
    t->selectNode(child(*t, first, QStringLiteral("章1-2")));
    ui::sbTrRet copyMove(*t, 1, &host);
    copyMove.show();
    shot(&copyMove, QStringLiteral("09-bulk-copy-move"));
    ui::sbTrRet remove(*t, 2, &host);
    remove.show();
    shot(&remove, QStringLiteral("10-bulk-delete"));
    copyMove.close();
    remove.close();

    // The reverse lookup window: a page with rich text, then its tag link followed.
    storeRichPage(1005, 1006);
    ui::sbRev rev;
    rev.show();
    rev.showPage(1005, QStringLiteral("章1-1"));
    shot(&rev, QStringLiteral("11-reverse-page"));
    emit rev.pageView()->anchorClicked(QUrl(QStringLiteral("TG_1006")));
    shot(&rev, QStringLiteral("12-reverse-tag"));
    rev.reverseTree()->cbFind()->setCurrentText(QStringLiteral("ページ 10"));
    rev.reverseTree()->runSearch();
    tree::ReverseTree* reverse = rev.reverseTree()->reverse();
    if (reverse->model()->rowCount() > 0) {
        const QModelIndex node = reverse->model()->index(0, 0);
        reverse->open(node);
        rev.reverseTree()->trView()->expand(node);
        if (reverse->model()->rowCount(node) > 0)
            rev.reverseTree()->trView()->expand(reverse->model()->index(0, 0, node));
    }
    shot(&rev, QStringLiteral("13-reverse-search"));
    zSvr::instance().D_Close();
    return 0;
}
