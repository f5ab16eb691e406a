// uTxm: link fields (tag, term, hyperlink, embedded object): inserting, changing and
// following them.
#include <QMetaMethod>
#include <QTextCursor>
#include <algorithm>

#include "editor/editor_texts.h"
#include "editor/link_fields.h"
#include "editor/rich_text.h"
#include "ui/link_dialogs.h"
#include "ui/page_picker.h"
#include "ui/page_view.h"
#include "ui/utxm_parts.h"

namespace arbor::ui {

namespace {

// The text a new link shows: the selection, else the fallback.
QString linkText(const RichText& text, const QString& fallback) {
    const QString selected = text.selectedText().simplified();
    return selected.isEmpty() ? fallback : selected;
}

QString markupText(bool script, const QString& markup) {
    return (script ? edtext::kScriptPrefix : edtext::kFramePrefix) + markup.simplified() + u']';
}

bool isScriptField(const fields::Field& field, const QString& markup) {
    if (field.text.startsWith(edtext::kScriptPrefix, Qt::CaseInsensitive))
        return true;
    if (field.text.startsWith(edtext::kFramePrefix, Qt::CaseInsensitive))
        return false;
    return markup.contains(QLatin1String("<script"), Qt::CaseInsensitive);
}

// Updates the field at the caret; the caret keeps its place inside it, so the link can
// be changed again at once.
bool updateField(RichText& text, const fields::Field& field, const QString& shown,
                 const QString& data) {
    const int offset = text.cursor().position() - field.start;
    if (!text.updateCurrentField(shown, data))
        return false;
    const auto updated = text.fieldAt(field.start);
    if (updated) {
        QTextCursor caret = text.cursor();
        caret.setPosition(field.start + std::clamp(offset, 0, std::max(0, updated->length - 1)));
        text.setCursor(caret);
    }
    return true;
}

}  // namespace

void uTxm::insertTagLink(int number, const QString& title) {
    if (number <= 0 || d_->readOnly || d_->mode < 0)
        return;
    RichText& text = *d_->text;
    d_->view->pushCursor();
    const auto field = text.currentField();
    if (field && splitLinkData(field->data).kind == LinkKind::Tag) {
        updateField(text, *field, field->text, tagData(number));
    } else {
        const QString shown = linkText(text, title.isEmpty() ? QString::number(number) : title);
        if (!text.insertField(shown, tagData(number)))
            return;
    }
    d_->view->pullCursor();
    d_->setModified(true);
    d_->status(QStringLiteral("ﾀｸﾞ(文書ﾃﾞｰﾀｰﾍﾞｰｽ内のﾘﾝｸ)を挿入しました"));
    d_->refresh();
}

bool uTxm::Parts::editField() {
    const auto field = text->currentField();
    if (!field) {
        message(QStringLiteral("ﾘﾝｸの中にｶｰｿﾙを置いてください"));
        return false;
    }
    const LinkTarget link = splitLinkData(field->data);
    switch (link.kind) {
        case LinkKind::Tag:
            pickTagPage();
            return true;
        case LinkKind::Term:
            return insertTerm();
        case LinkKind::Hyperlink:
            return insertHyperlink();
        case LinkKind::Object:
            return insertMarkup(isScriptField(*field, link.target));
    }
    return false;
}

bool uTxm::Parts::insertTerm() {
    const auto field = text->currentField();
    const bool update = field && splitLinkData(field->data).kind == LinkKind::Term;
    TermDialog dialog(update ? splitLinkData(field->data).target : QString(), q);
    if (!dialog.loadError().isEmpty() && dialog.termCount() == 0) {
        message(dialog.loadError());
        return false;
    }
    if (dialog.exec() != QDialog::Accepted || dialog.term().isEmpty())
        return false;
    const QString term = cleanTerm(dialog.term());
    if (term.isEmpty()) {
        message(QStringLiteral("この用語はﾘﾝｸにできません: ") + dialog.term());
        return false;
    }
    view->pushCursor();
    const bool ok = update ? updateField(*text, *field, field->text, termData(term))
                           : text->insertField(linkText(*text, dialog.term()), termData(term));
    view->pullCursor();
    return ok;
}

bool uTxm::Parts::insertHyperlink() {
    const auto field = text->currentField();
    const bool update = field && splitLinkData(field->data).kind == LinkKind::Hyperlink;
    HyperlinkDialog dialog(update ? field->text : linkText(*text, QString()),
                           update ? field->data : QString(), q);
    if (dialog.exec() != QDialog::Accepted || dialog.target().isEmpty())
        return false;
    // A target that reads as a tag, term or object would be taken for one.
    if (splitLinkData(dialog.target()).kind != LinkKind::Hyperlink) {
        message(QStringLiteral("このﾘﾝｸ先は使えません: ") + dialog.target());
        return false;
    }
    view->pushCursor();
    const bool ok = update ? updateField(*text, *field, dialog.text(), dialog.target())
                           : text->insertField(dialog.text(), dialog.target());
    view->pullCursor();
    return ok;
}

bool uTxm::Parts::insertMarkup(bool script) {
    const auto field = text->currentField();
    const bool update = field && splitLinkData(field->data).kind == LinkKind::Object;
    MarkupDialog dialog(script, update ? splitLinkData(field->data).target : QString(), q);
    if (dialog.exec() != QDialog::Accepted || dialog.markup().isEmpty())
        return false;
    const QString markup = dialog.markup();
    view->pushCursor();
    const bool ok = update
                        ? updateField(*text, *field, markupText(script, markup), objectData(markup))
                        : text->insertField(markupText(script, markup), objectData(markup));
    view->pullCursor();
    return ok;
}

void uTxm::Parts::pickTagPage() {
    // The main window shows the page picker and answers with insertTagLink; an editor
    // on its own (a second page window) asks itself.
    if (q->isSignalConnected(QMetaMethod::fromSignal(&uTxm::ePickTagPage))) {
        emit q->ePickTagPage();
        return;
    }
    int number = 0;
    QString pageTitle;
    if (PagePicker::pick(q, edtext::kTagPickCaption, number, pageTitle))
        q->insertTagLink(number, pageTitle);
}

void uTxm::Parts::follow(const fields::Field& field) {
    const LinkTarget link = splitLinkData(field.data);
    emit q->eClckLink(link.code, link.target);
}

}  // namespace arbor::ui
