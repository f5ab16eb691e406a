#include "ui/utxm.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

#include "app/progress.h"
#include "app/prompter.h"
#include "app/yini.h"
#include "editor/document_model.h"
#include "editor/editor_commands.h"
#include "editor/editor_texts.h"
#include "editor/link_fields.h"
#include "editor/paragraph_styles.h"
#include "editor/rich_text.h"
#include "editor/text_search.h"
#include "editor/user_formats.h"
#include "exchange/page_files.h"
#include "ui/colour_button.h"
#include "ui/editor_icons.h"
#include "ui/find_dialog.h"
#include "ui/format_frame.h"
#include "ui/page_view.h"
#include "ui/ruler.h"
#include "ui/utxm_parts.h"

namespace arbor::ui {

namespace {

// A load replaces the page; what it changes is not the user's edit.
class LoadGuard {
  public:
    explicit LoadGuard(int& depth) : depth_(depth) { ++depth_; }
    ~LoadGuard() { --depth_; }
    LoadGuard(const LoadGuard&) = delete;
    LoadGuard& operator=(const LoadGuard&) = delete;

  private:
    int& depth_;
};

struct ToolButton {
    const char* name;
    int code;
    const char* caption;
    const char* tip;
};

// The tool bar tlBar, in the order of its buttons.
const ToolButton kToolButtons[] = {
    {"New", cmd::NewDocument, "新規", "文書を初期化します"},
    {"Open", cmd::ReadFile, "開く", "文書ﾌｧｲﾙを読み込みます"},
    {"Save", cmd::SaveToDatabase, "保存", "現在の文書を更新します (Ctrl+S)"},
    {"Print", cmd::Print, "印刷", "印刷します (Ctrl+P)"},
    {"Preview", cmd::Preview, "ﾌﾟﾚﾋﾞｭｰ", "印刷ﾌﾟﾚﾋﾞｭｰを表示します"},
    {"Cut", cmd::Cut, "切り取り", "切り取り (Ctrl+X)"},
    {"Copy", cmd::Copy, "ｺﾋﾟｰ", "ｺﾋﾟｰ (Ctrl+C)"},
    {"Paste", cmd::Paste, "貼り付け", "貼り付け (Ctrl+V)"},
    {"Undo", cmd::Undo, "元に戻す", "元に戻す (Ctrl+Z)"},
    {"Redo", cmd::Redo, "やり直し", "やり直し (Ctrl+Y)"},
    {"Find", cmd::Find, "検索", "検索 (Ctrl+F)  置換 (Ctrl+H)"},
};

// The format at the caret (of the selection's first character) for the button bar. Read
// from the view's cursor: refreshes also run while a document is being replaced, when
// the component's cursor must not be touched.
ButtonBar::State formatState(const QTextCursor& caret) {
    QTextCharFormat chars = caret.charFormat();
    if (caret.hasSelection()) {
        QTextCursor first(caret.document());
        first.setPosition(caret.selectionStart() + 1);
        chars = first.charFormat();
    }
    const QFont fallback = caret.document()->defaultFont();
    ButtonBar::State state;
    const QStringList families = chars.fontFamilies().toStringList();
    state.family = families.isEmpty() ? fallback.family() : families.first();
    state.size = chars.fontPointSize() > 0 ? chars.fontPointSize() : fallback.pointSizeF();
    state.bold = chars.fontWeight() > QFont::Medium;
    state.italic = chars.fontItalic();
    state.underline = chars.fontUnderline();
    state.alignment = caret.blockFormat().alignment();
    return state;
}

}  // namespace

// ------------------------------------------------------------------ building

uTxm::uTxm(QWidget* parent) : QWidget(parent), d_(std::make_unique<Parts>(this)) {
    setObjectName(QStringLiteral("uTxm"));
    d_->text = new RichText(this);
    d_->text->setObjectName(QStringLiteral("mTxtObj"));
    d_->build();
    d_->connectParts();
    d_->applyDisplay();
    d_->markSaved();
    d_->refresh();
}

uTxm::~uTxm() {
    // The find window belongs to the top-level window; it must not outlive the view.
    delete d_->find;
}

void uTxm::Parts::build() {
    auto* layout = new QVBoxLayout(q);
    layout->setContentsMargins(3, 3, 3, 2);
    layout->setSpacing(2);

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(4);
    auto* titleLabel = new QLabel(QStringLiteral("ﾀｲﾄﾙ"), q);
    title = new QLineEdit(q);
    title->setObjectName(QStringLiteral("txTitle"));
    title->setPlaceholderText(QStringLiteral("ﾍﾟｰｼﾞのﾀｲﾄﾙ"));
    title->setToolTip(QStringLiteral("ﾍﾟｰｼﾞのﾀｲﾄﾙ (Enterで本文へ)"));
    titleLabel->setBuddy(title);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    title->setFont(titleFont);
    mark = new QLabel(q);
    mark->setObjectName(QStringLiteral("lbModified"));
    mark->setFixedWidth(mark->fontMetrics().horizontalAdvance(QStringLiteral("●")) + 6);
    mark->setAlignment(Qt::AlignCenter);
    mark->setStyleSheet(QStringLiteral("color: #D9822B"));
    titleRow->addWidget(titleLabel);
    titleRow->addWidget(title, 1);
    titleRow->addWidget(mark);
    layout->addLayout(titleRow);

    bars = new QWidget(q);
    bars->setObjectName(QStringLiteral("clBar"));
    auto* barRows = new QVBoxLayout(bars);
    barRows->setContentsMargins(0, 0, 0, 0);
    barRows->setSpacing(1);
    auto* firstRow = new QHBoxLayout;
    firstRow->setSpacing(6);
    buildToolBar();
    frame = new FormatFrame(bars);
    firstRow->addWidget(toolBar);
    firstRow->addWidget(frame, 1);
    barRows->addLayout(firstRow);
    buttons = new ButtonBar(bars);
    barRows->addWidget(buttons);
    layout->addWidget(bars);

    ruler = new Ruler(Qt::Horizontal, q);
    layout->addWidget(ruler);
    auto* textRow = new QHBoxLayout;
    textRow->setSpacing(0);
    rulerV = new Ruler(Qt::Vertical, q);
    view = new PageView(*text, q);
    view->setModeSource([this] { return mode; });
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    textRow->addWidget(rulerV);
    textRow->addWidget(view, 1);
    layout->addLayout(textRow, 1);

    auto* statusRow = new QHBoxLayout;
    statusRow->setSpacing(4);
    statusBar = new QWidget(q);
    statusBar->setObjectName(QStringLiteral("vStatus"));
    auto* statusLayout = new QHBoxLayout(statusBar);
    statusLayout->setContentsMargins(4, 0, 4, 0);
    position = new QLabel(statusBar);
    position->setObjectName(QStringLiteral("lbPosition"));
    zoomLabel = new QLabel(statusBar);
    zoomLabel->setObjectName(QStringLiteral("lbZoom"));
    zoomLabel->setToolTip(QStringLiteral("表示倍率 (Ctrl+ﾎｲｰﾙ、Ctrl+ +/-)"));
    statusLayout->addWidget(position);
    statusLayout->addStretch(1);
    statusLayout->addWidget(zoomLabel);
    kind = new QLabel(q);
    kind->setObjectName(QStringLiteral("pnStatus"));
    kind->setFrameShape(QFrame::StyledPanel);
    kind->setMinimumWidth(kind->fontMetrics().horizontalAdvance(QStringLiteral("見出１(頁見出)")) +
                          16);
    kind->setAlignment(Qt::AlignCenter);
    kind->setToolTip(QStringLiteral("ｶｰｿﾙ位置の段落の種類"));
    statusRow->addWidget(statusBar, 1);
    statusRow->addWidget(kind);
    layout->addLayout(statusRow);
    q->setFocusProxy(view);
}

void uTxm::Parts::buildToolBar() {
    toolBar = new QToolBar(bars);
    toolBar->setObjectName(QStringLiteral("tlBar"));
    toolBar->setIconSize(QSize(20, 20));
    toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const ToolButton& b : kToolButtons) {
        QAction* a = toolBar->addAction(icons::toolIcon(QString::fromLatin1(b.name), q->style()),
                                        QString::fromUtf8(b.caption));
        a->setObjectName(QString::fromLatin1(b.name));
        a->setToolTip(QString::fromUtf8(b.tip));
        const int code = b.code;
        QObject::connect(a, &QAction::triggered, q, [this, code] { q->rtAct(code); });
        toolActions.insert(code, a);
        if (code == cmd::Preview || code == cmd::Paste || code == cmd::Redo)
            toolBar->addSeparator();
    }
    // Keys the text itself does not take; F-keys stay the function-key bar's.
    const struct {
        QKeySequence keys;
        int code;
    } shortcuts[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_B), cmd::Bold},
        {QKeySequence(Qt::CTRL | Qt::Key_I), cmd::Italic},
        {QKeySequence(Qt::CTRL | Qt::Key_U), cmd::Underline},
        {QKeySequence(Qt::CTRL | Qt::Key_F), cmd::Find},
        {QKeySequence(Qt::CTRL | Qt::Key_H), cmd::Replace},
        {QKeySequence(Qt::CTRL | Qt::Key_P), cmd::Print},
        {QKeySequence(Qt::CTRL | Qt::Key_S), cmd::SaveToDatabase},
    };
    for (const auto& s : shortcuts) {
        auto* a = new QAction(q);
        a->setShortcut(s.keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        const int code = s.code;
        QObject::connect(a, &QAction::triggered, q, [this, code] { q->rtAct(code); });
        q->addAction(a);
    }
}

void uTxm::Parts::connectParts() {
    // The component reports every finished edit block, also one that changed nothing (a
    // picture refused, a format set at the caret); only real changes count as edits.
    for (QTextDocument* document : {text->body(), text->header(), text->footer()}) {
        document->documentLayout();  // without a layout a document reports no changes
        QObject::connect(document, &QTextDocument::contentsChange, q,
                         [this] { contentChanged = true; });
    }
    lastPage = text->pageSetup();
    QObject::connect(text, &RichText::changed, q, [this] {
        const bool real = contentChanged || !(text->pageSetup() == lastPage);
        contentChanged = false;
        lastPage = text->pageSetup();
        if (loading == 0 && real)
            edited();
    });
    QObject::connect(text, &RichText::replaced, q, [this] {
        contentChanged = false;
        lastPage = text->pageSetup();
        refresh();
    });
    QObject::connect(title, &QLineEdit::textEdited, q, [this] { edited(); });
    QObject::connect(title, &QLineEdit::returnPressed, q, [this] { titleEnter(); });
    QObject::connect(view, &QTextEdit::cursorPositionChanged, q, [this] { refresh(); });
    QObject::connect(view, &QTextEdit::currentCharFormatChanged, q, [this] { refresh(); });
    QObject::connect(view, &QTextEdit::selectionChanged, q, [this] { refresh(); });
    QObject::connect(view, &PageView::fieldClicked, q,
                     [this](const fields::Field& f) { follow(f); });
    QObject::connect(view, &PageView::zoomRequested, q,
                     [this](bool up) { q->rtAct(up ? cmd::ZoomIn : cmd::ZoomOut); });
    QObject::connect(view, &PageView::failed, q, [this](const QString& m) { message(m); });
    QObject::connect(view, &PageView::geometryShifted, q, [this] { updateRuler(); });
    QObject::connect(view, &QWidget::customContextMenuRequested, q,
                     [this](const QPoint& p) { showContextMenu(p); });
    QObject::connect(QApplication::clipboard(), &QClipboard::dataChanged, q, [this] { refresh(); });

    QObject::connect(frame, &FormatFrame::styleChosen, q,
                     [this](int index) { q->rtAct(cmd::StyleHeading1 + index); });
    QObject::connect(frame->textColour(), &ColourButton::applyColour, q,
                     [this] { q->rtAct(cmd::TextColor); });
    QObject::connect(frame->backColour(), &ColourButton::applyColour, q,
                     [this] { q->rtAct(cmd::BackColor); });
    auto formatEdit = [this](auto change) {
        if (readOnly)
            return refresh();
        view->pushCursor();
        change();
        view->pullCursor();
        view->setFocus();
    };
    QObject::connect(buttons, &ButtonBar::familyChosen, q, [this, formatEdit](const QString& f) {
        formatEdit([&] { text->setFontName(f); });
    });
    QObject::connect(buttons, &ButtonBar::sizeChosen, q, [this, formatEdit](double points) {
        formatEdit([&] { text->setFontSize(points); });
    });
    QObject::connect(buttons, &ButtonBar::boldChosen, q, [this] { q->rtAct(cmd::Bold); });
    QObject::connect(buttons, &ButtonBar::italicChosen, q, [this] { q->rtAct(cmd::Italic); });
    QObject::connect(buttons, &ButtonBar::underlineChosen, q, [this] { q->rtAct(cmd::Underline); });
    QObject::connect(buttons, &ButtonBar::alignmentChosen, q, [this](Qt::Alignment a) {
        q->rtAct(a & Qt::AlignHCenter ? cmd::AlignCenter
                 : a & Qt::AlignRight ? cmd::AlignRight
                                      : cmd::AlignLeft);
    });
}

// ------------------------------------------------------------------ state

void uTxm::Parts::setModified(bool on) {
    modified = on;
    mark->setText(on ? QStringLiteral("●") : QString());
    mark->setToolTip(on ? QStringLiteral("未保存の変更があります") : QString());
    // A window shows the mark only with "[*]" in its title (and complains without).
    for (QWidget* w : {static_cast<QWidget*>(q), q->window()})
        if (!w->isWindow() || w->windowTitle().contains(QLatin1String("[*]")))
            w->setWindowModified(on);
}

// The page counts as modified while it differs from what was last loaded or saved: undoing
// every change makes it unmodified again. Changes no undo takes back (a file read in, an
// emptied page, a save that failed) keep it modified until the next save.
void uTxm::Parts::edited() {
    const bool differs = differsFromSaved();
    if (differs != modified)
        setModified(differs);
    emit q->eEdtCng();
}

bool uTxm::Parts::differsFromSaved() const {
    return unsaved || text->body()->isModified() || text->header()->isModified() ||
           text->footer()->isModified() || title->text() != savedTitle ||
           !(text->pageSetup() == savedPage);
}

void uTxm::Parts::markSaved() {
    for (QTextDocument* d : {text->body(), text->header(), text->footer()})
        d->setModified(false);
    savedTitle = title->text();
    savedPage = text->pageSetup();
    unsaved = false;
    setModified(false);
}

void uTxm::Parts::setUnsaved() {
    unsaved = true;
    setModified(true);
}

void uTxm::Parts::message(const QString& what) {
    prompter().message(what, Severity::Warning);
}

void uTxm::Parts::status(const QString& what) {
    emit q->eStatus(what);
}

void uTxm::Parts::refresh() {
    const QTextCursor c = view->textCursor();
    const QTextBlockFormat block = c.blockFormat();
    const QTextBlock last = text->body()->findBlock(c.selectionEnd());
    const bool oneBlock = c.block() == last || !c.hasSelection();
    frame->showStyle(
        block.hasProperty(doc::StyleIndex) && oneBlock ? block.intProperty(doc::StyleIndex) : -1);
    buttons->showState(formatState(c));
    kind->setText(arbor::paragraphKind(c, Frmt::instance()));
    position->setText(QStringLiteral("行 %1   列 %2")
                          .arg(c.blockNumber() + 1)
                          .arg(c.position() - c.block().position() + 1));
    zoomLabel->setText(QString::number(view->zoom()) + u'%');

    const bool editable = !readOnly && mode >= 0;
    const bool selection = c.hasSelection();
    auto enable = [this](int code, bool on) {
        if (QAction* a = toolActions.value(code))
            a->setEnabled(on);
    };
    enable(cmd::Undo, editable && text->body()->isUndoAvailable());
    enable(cmd::Redo, editable && text->body()->isRedoAvailable());
    enable(cmd::Cut, editable && selection);
    enable(cmd::Copy, selection);
    enable(cmd::Paste, editable && view->canPaste());
    for (int code : {cmd::NewDocument, cmd::ReadFile})
        enable(code, editable);
    frame->setEnabled(editable);
    buttons->setEnabled(editable);
    updateRuler();
}

void uTxm::Parts::updateRuler() {
    if (ruler->isHidden() && rulerV->isHidden())
        return;
    Ruler::Geometry g;
    const doc::PageSetup& p = text->pageSetup();
    g.pixelsPerTwip = view->pixelsPerTwip();
    g.marginLeft = p.marginLeft;
    g.marginRight = p.marginRight;
    g.textWidth = p.width - p.marginLeft - p.marginRight;
    g.textLeft =
        ruler->mapFromGlobal(view->viewport()->mapToGlobal(QPoint(view->textLeft(), 0))).x();
    // The view's caret: the component's may be a step behind (see PageView::pushCursor).
    const QTextBlockFormat block = view->textCursor().blockFormat();
    g.indentLeft = static_cast<int>(std::lround(block.leftMargin() * 20));
    g.indentFirst = static_cast<int>(std::lround(block.textIndent() * 20));
    g.marginTop = p.marginTop;
    g.textTop =
        rulerV->mapFromGlobal(view->viewport()->mapToGlobal(QPoint(0, view->textTop()))).y();
    const QRectF paragraph = view->paragraphRect();
    g.paragraphTop = paragraph.top();
    g.paragraphBottom = paragraph.bottom();
    ruler->setMeasures(g);
    rulerV->setMeasures(g);
}

void uTxm::Parts::applyDisplay() {
    view->setZoom(settings.zoom);
    view->setViewMode(settings.viewMode);
    view->setControlCharsShown(settings.controlChars);
    ruler->setVisible(settings.rulers);
    rulerV->setVisible(settings.rulers);
    buttons->setVisible(settings.buttonBar);
    statusBar->setVisible(settings.statusBar);
    refresh();
}

// ------------------------------------------------------------------ start and end

void uTxm::cOn(const QString& settingsPrefix) {
    d_->prefix = settingsPrefix;
    d_->settings = readEditorSettings(Ini(), settingsPrefix, d_->mode >= 0);
    d_->started = true;
    d_->applyDisplay();
    // A page not yet written takes the page size of the settings.
    if (!d_->modified && d_->text->isEmpty()) {
        LoadGuard guard(d_->loading);
        d_->text->setPageSetup(d_->settings.page);
    }
}

void uTxm::cOff() {
    if (!d_->started)
        return;
    d_->settings.zoom = d_->view->zoom();
    d_->settings.viewMode = d_->view->viewMode();
    writeEditorSettings(Ini(), d_->prefix, d_->settings);
    if (d_->find)
        d_->find->close();
    d_->started = false;
}

RichText& uTxm::GetObj() {
    d_->view->pushCursor();
    return *d_->text;
}

bool uTxm::bDcEdt() const {
    return d_->modified;
}

void uTxm::setBDcEdt(bool modified) {
    // Marked modified from outside (a save that failed, a duplicated page): it stays so.
    if (modified)
        d_->setUnsaved();
    else
        d_->markSaved();
}

int uTxm::cTyp() const {
    return d_->mode;
}

void uTxm::setCTyp(int mode) {
    d_->mode = mode;
    d_->refresh();
}

int uTxm::pageNumber() const {
    return d_->page;
}

void uTxm::setPageNumber(int number) {
    d_->page = number;
}

QString uTxm::Title() const {
    return d_->title->text();
}

void uTxm::setTitle(const QString& title) {
    d_->title->setText(title);
    d_->title->setCursorPosition(0);
    // The main window sets the stored title after a load or a save.
    if (!d_->modified)
        d_->savedTitle = title;
}

void uTxm::ReadOnly(bool readOnly) {
    d_->readOnly = readOnly;
    d_->view->setReadOnly(readOnly);
    // A read-only text still shows its caret, so it can be selected and copied.
    d_->view->setTextInteractionFlags(readOnly
                                          ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                          : Qt::TextEditorInteraction);
    d_->title->setReadOnly(readOnly);
    d_->refresh();
}

// ------------------------------------------------------------------ leaving and saving

bool uTxm::Parts::runSave() {
    QString path = savePath;
    emit q->eAskSavePh(&path);
    if (path.isEmpty()) {
        // Cleared before the event, so a handler whose save failed can mark the page
        // modified again and nothing is lost.
        setModified(false);
        emit q->eSaveDB();
        if (!modified)
            markSaved();
        return !modified;
    }
    if (pagefiles::kindOf(path) != pagefiles::FileKind::Html) {
        FileDialogRequest request;
        request.mode = FileDialogRequest::Mode::Save;
        request.title = edtext::kSaveAsCaption;
        request.filters = edtext::filterLines(edtext::kFilterDocx + edtext::kSaveAsWordFilter);
        const int slash = path.lastIndexOf(u'/');
        request.folder = path.left(slash + 1);
        request.fileName = path.mid(slash + 1);
        path = prompter().chooseFile(request);
        if (path.isEmpty())
            return false;
    }
    if (!saveToFile(path))
        return false;
    savePath = path;
    markSaved();
    return true;
}

bool uTxm::Parts::mayReplace() {
    if (!modified || mode < 0)
        return true;
    if (settings.updateConfirm == edtext::kConfirmAsk) {
        if (prompter().ask(edtext::kAskSave, Buttons::YesNo, Severity::Question) == Answer::Yes)
            return runSave();
        markSaved();
        return true;
    }
    if (settings.updateConfirm == edtext::kConfirmOverwrite)
        return runSave();
    markSaved();
    return true;
}

bool uTxm::ChkUdt() {
    if (!d_->modified || d_->mode < 0)
        return true;
    const QString& confirm = d_->settings.updateConfirm;
    if (confirm == edtext::kConfirmAsk) {
        switch (prompter().ask(edtext::kAskSave, Buttons::YesNoCancel, Severity::Question)) {
            case Answer::Yes:
                return d_->runSave();
            case Answer::No:
                d_->markSaved();
                return true;
            default:
                return false;
        }
    }
    if (confirm == edtext::kConfirmOverwrite)
        return d_->runSave();
    d_->markSaved();
    return true;
}

// ------------------------------------------------------------------ content

bool uTxm::SetData(const QByteArray& bytes, bool noQuestion, QString* refused) {
    if (!noQuestion && !d_->mayReplace())
        return false;
    {
        LoadGuard guard(d_->loading);
        if (bytes.isEmpty()) {
            d_->text->clear();
            d_->text->setPageSetup(d_->settings.page);
            d_->styleEmptyPage();
        } else {
            QString error;
            if (!d_->text->loadBytes(bytes, error)) {
                if (refused)
                    *refused = error;
                else
                    d_->message(error);
                return false;
            }
        }
    }
    d_->markSaved();
    d_->view->moveCursor(QTextCursor::Start);
    d_->view->pushCursor();
    d_->view->ensureCursorVisible();
    d_->refresh();
    return true;
}

bool uTxm::SetDcFL(const QString& path, bool noQuestion) {
    if (!noQuestion && !d_->mayReplace())
        return false;
    {
        LoadGuard guard(d_->loading);
        QString error;
        if (!pagefiles::loadFile(*d_->text, path, error)) {
            d_->message(error);
            return false;
        }
    }
    d_->markSaved();
    d_->view->moveCursor(QTextCursor::Start);
    d_->view->pushCursor();
    d_->refresh();
    return true;
}

bool uTxm::InsData(const QByteArray& bytes) {
    if (d_->readOnly)
        return false;
    d_->view->pushCursor();
    QString error;
    if (!d_->text->insertBytes(bytes, error)) {
        d_->message(error);
        return false;
    }
    d_->view->pullCursor();
    d_->setModified(true);
    return true;
}

bool uTxm::ApndData(const QByteArray& bytes) {
    if (d_->readOnly)
        return false;
    d_->view->moveCursor(QTextCursor::End);
    return InsData(bytes);
}

void uTxm::GetData(QByteArray& bytes, QString& plainText, QString& title) const {
    bytes = d_->text->saveBytes();
    plainText = d_->text->plainText();
    title = Title();
}

PageContent uTxm::pageContent() const {
    PageContent content;
    content.title = Title();
    content.plainText = d_->text->plainText();
    for (const fields::Field& f : d_->text->allFields())
        content.fieldData << f.data;
    content.bytes = d_->text->saveBytes();
    return content;
}

bool uTxm::bHaveData() const {
    return !d_->text->isEmpty();
}

QString uTxm::GetMTxt() const {
    d_->view->pushCursor();
    return d_->text->cursor().hasSelection() ? d_->text->selectionPlainText()
                                             : d_->text->plainText();
}

void uTxm::SetText(const QString& text) {
    d_->text->setText(text);
    d_->view->moveCursor(QTextCursor::Start);
    d_->view->pushCursor();
}

void uTxm::Parts::styleEmptyPage() {
    LoadGuard guard(loading);
    QTextDocument* body = text->body();
    const bool wasModified = body->isModified();
    body->setUndoRedoEnabled(false);
    QTextCursor c(body);
    applyParagraphStyle(c, kBody, Frmt::instance());
    body->setUndoRedoEnabled(true);
    body->setModified(wasModified);
}

void uTxm::clearDocument() {
    {
        LoadGuard guard(d_->loading);
        d_->text->clear();
        d_->text->setPageSetup(d_->settings.page);
    }
    d_->styleEmptyPage();
    d_->title->clear();
    d_->markSaved();
    d_->refresh();
}

QString uTxm::SelTxt() const {
    d_->view->pushCursor();
    return d_->text->selectedText();
}

void uTxm::setSelTxt(const QString& text) {
    if (d_->readOnly)
        return;
    d_->view->pushCursor();
    d_->text->insertText(text);
    d_->view->pullCursor();
}

void uTxm::FndWd(const QString& text) {
    if (text.isEmpty())
        return;
    const QTextCursor found =
        search::findNext(*d_->text->body(), text, d_->view->textCursor(), search::Options());
    if (found.isNull()) {
        d_->status(QStringLiteral("「") + text + QStringLiteral("」は見つかりません"));
        return;
    }
    d_->view->setTextCursor(found);
    d_->view->ensureCursorVisible();
    d_->view->pushCursor();
}

// ------------------------------------------------------------------ title and menus

void uTxm::Parts::titleEnter() {
    if (!readOnly && mode >= 0) {
        QTextCursor caret;
        const Frmt& table = Frmt::instance();
        if (titleToFirstParagraph(*text->body(), title->text(), table, table.UsrDtp, caret))
            view->setTextCursor(caret);
    }
    view->setFocus();
}

uTxm::MenuState uTxm::menuState() const {
    MenuState s;
    const QTextCursor c = d_->view->textCursor();
    s.hasDocument = d_->mode >= 0;
    s.readOnly = d_->readOnly;
    const bool editable = s.hasDocument && !s.readOnly;
    s.canUndo = editable && d_->text->body()->isUndoAvailable();
    s.canRedo = editable && d_->text->body()->isRedoAvailable();
    s.hasSelection = c.hasSelection();
    s.canPaste = editable && d_->view->canPaste();
    s.inField = insideField(c) || fields::current(c).has_value();
    s.inTable = c.currentTable() != nullptr;
    return s;
}

QString uTxm::paragraphKind() const {
    return arbor::paragraphKind(d_->view->textCursor(), Frmt::instance());
}

void uTxm::Parts::showContextMenu(const QPoint& point) {
    // A right click outside the selection moves the caret there, into a link when it hits
    // one, so the menu's commands work on what was clicked.
    const QTextCursor current = view->textCursor();
    const int at = view->cursorForPosition(point).position();
    if (!current.hasSelection() || at < current.selectionStart() || at > current.selectionEnd()) {
        QTextCursor c(text->body());
        const auto field = view->fieldAtPoint(point);
        c.setPosition(field ? field->start + std::min(1, field->length - 1) : at);
        view->setTextCursor(c);
    }
    view->pushCursor();
    const MenuState s = q->menuState();
    const bool editable = s.hasDocument && !s.readOnly;
    QMenu menu(view);
    auto add = [&](const QString& caption, int code, bool enabled) {
        QAction* a = menu.addAction(caption);
        a->setEnabled(enabled);
        QObject::connect(a, &QAction::triggered, q, [this, code] { q->rtAct(code); });
    };
    add(QStringLiteral("元に戻す"), cmd::Undo, s.canUndo);
    add(QStringLiteral("やり直し"), cmd::Redo, s.canRedo);
    menu.addSeparator();
    add(QStringLiteral("切り取り"), cmd::Cut, editable && s.hasSelection);
    add(QStringLiteral("ｺﾋﾟｰ"), cmd::Copy, s.hasSelection);
    add(QStringLiteral("貼り付け"), cmd::Paste, s.canPaste);
    add(QStringLiteral("すべて選択"), cmd::SelectAll, true);
    menu.addSeparator();
    if (const auto field = text->currentField()) {
        const fields::Field f = *field;
        QAction* open = menu.addAction(QStringLiteral("ﾘﾝｸ先を開く (Ctrl+ｸﾘｯｸ)"));
        QObject::connect(open, &QAction::triggered, q, [this, f] { follow(f); });
        add(QStringLiteral("ﾘﾝｸの変更..."), cmd::EditField, editable);
        menu.addSeparator();
    }
    add(QStringLiteral("ﾊｲﾊﾟｰﾘﾝｸの挿入..."), cmd::InsertHyperlink, editable);
    add(QStringLiteral("ﾀｸﾞの挿入..."), cmd::InsertTag, editable);
    add(QStringLiteral("用語の挿入..."), cmd::InsertTerm, editable);
    add(QStringLiteral("画像の挿入..."), cmd::InsertPicture, editable);
    add(edtext::kTableCaption + QStringLiteral("の挿入..."), cmd::InsertTable, editable);
    if (s.inTable) {
        QMenu* table = menu.addMenu(edtext::kTableCaption);
        auto addTable = [&](const QString& caption, int code) {
            QAction* a = table->addAction(caption);
            a->setEnabled(editable);
            QObject::connect(a, &QAction::triggered, q, [this, code] { q->rtAct(code); });
        };
        addTable(edtext::kRowCaption + u'/' + edtext::kColumnCaption + QStringLiteral("の挿入..."),
                 cmd::InsertRowsColumns);
        addTable(edtext::kRowCaption + QStringLiteral("の削除"), cmd::TableRows);
        addTable(edtext::kColumnCaption + QStringLiteral("の削除"), cmd::TableColumns);
        addTable(edtext::kCellCaption + QStringLiteral("の結合/分割"), cmd::TableCells);
    }
    menu.exec(view->viewport()->mapToGlobal(point));
}

// ------------------------------------------------------------------ display

int uTxm::zoom() const {
    return d_->view->zoom();
}

void uTxm::setZoom(int percent) {
    d_->setZoom(percent);
}

int uTxm::viewMode() const {
    return d_->view->viewMode();
}

void uTxm::setViewMode(int mode) {
    d_->settings.viewMode = mode == 1 ? 1 : 0;
    d_->view->setViewMode(d_->settings.viewMode);
}

bool uTxm::controlCharsShown() const {
    return d_->settings.controlChars;
}

void uTxm::setControlCharsShown(bool shown) {
    d_->settings.controlChars = shown;
    d_->view->setControlCharsShown(shown);
}

bool uTxm::rulersShown() const {
    return d_->settings.rulers;
}

void uTxm::setRulersShown(bool shown) {
    d_->settings.rulers = shown;
    d_->ruler->setVisible(shown);
    d_->rulerV->setVisible(shown);
    d_->updateRuler();
}

bool uTxm::buttonBarShown() const {
    return d_->settings.buttonBar;
}

void uTxm::setButtonBarShown(bool shown) {
    d_->settings.buttonBar = shown;
    d_->buttons->setVisible(shown);
}

bool uTxm::statusBarShown() const {
    return d_->settings.statusBar;
}

void uTxm::setStatusBarShown(bool shown) {
    d_->settings.statusBar = shown;
    d_->statusBar->setVisible(shown);
}

QString uTxm::updateConfirmation() const {
    return d_->settings.updateConfirm;
}

void uTxm::setUpdateConfirmation(const QString& value) {
    d_->settings.updateConfirm = value;
}

}  // namespace arbor::ui
