#pragma once
// Texts the page tree shows: status lines, questions, captions. Copied from the
// program's text tables character for character (half-width katakana included).

#include <QString>
#include <array>

namespace arbor::tree::msg {

inline QString frameTree() {
    return QStringLiteral("左のﾂﾘｰでﾍﾟｰｼﾞを指定して下さい");
}
inline QString frameFind() {
    return QStringLiteral("文書全体に検索文字を含む文書を探します");
}
inline QString frameRecent() {
    return QStringLiteral("最近表示したﾍﾟｰｼﾞをﾘｽﾄしました");
}
inline QString tagInserted() {
    return QStringLiteral("ﾀｸﾞ(文書ﾃﾞｰﾀｰﾍﾞｰｽ内のﾘﾝｸ)を挿入しました");
}
inline QString editNewPage() {
    return QStringLiteral("新規ﾍﾟｰｼﾞを編集して下さい");
}
inline QString newPageDiscarded() {
    return QStringLiteral("新規ﾍﾟｰｼﾞを破棄しました");
}
inline QString newPageTitle() {
    return QStringLiteral("新規ﾍﾟｰｼﾞ");
}
inline QString duplicateLink() {
    return QStringLiteral("同一文書へのﾘﾝｸは登録できません");
}
inline QString pageInserted() {
    return QStringLiteral("ﾍﾟｰｼﾞを挿入しました");
}
inline QString referencedHead() {
    return QStringLiteral("現在のﾍﾟｰｼﾞは ");
}
inline QString referencedTail() {
    return QStringLiteral(" から参照されています");
}
inline QString navigatedHead() {
    return QStringLiteral("現在のﾍﾟｰｼﾞから ");
}
inline QString navigatedTail() {
    return QStringLiteral(" へNavigate されています");
}
inline QString confirmDelete() {
    return QStringLiteral("現在のﾍﾟｰｼﾞを削除して良いですか");
}
inline QString pageDeleted() {
    return QStringLiteral("現在のﾍﾟｰｼﾞは削除されています");
}
inline QString hitCountTail() {
    return QStringLiteral(" 件候補がありました");
}
inline QString tagReferencedTail() {
    return QStringLiteral("からタグ参照されています");
}
inline QString notTagReferenced() {
    return QStringLiteral("この文書はタグ参照されていません");
}
inline QString editThenUpdate() {
    return QStringLiteral("新規のﾍﾟｰｼﾞを編集後  更新指示をして下さい");
}
inline QString protectedPage() {
    return QStringLiteral("現在のﾍﾟｰｼﾞはHtm出力保護されています");
}
inline QString bulkCaption() {
    return QStringLiteral("文脈の一括 複写・移動");
}
inline QString bulkLinkChildren() {
    return QStringLiteral("複写(新規)の場合、下位ﾉｰﾄﾞのﾘﾝｸを生成する");
}
inline QString bulkExplanation() {
    return QStringLiteral("現在指定のﾉｰﾄﾞ内の文書を、指定ﾉｰﾄﾞに一括で、複写・移動をします");
}
inline QString bulkReload() {
    return QStringLiteral("再表示(&D)");
}
inline QString bulkMove() {
    return QStringLiteral("⇒　移動");
}
inline QString bulkCopyNew() {
    return QStringLiteral("⇒　複写(新規)");
}
inline QString bulkCopyLink() {
    return QStringLiteral("⇒　複写(ﾘﾝｸ)");
}
inline QString bulkCancel() {
    return QStringLiteral("&Cancel");
}
inline QString bulkIsLink() {
    return QStringLiteral("指定されたﾍﾟｰｼﾞはﾘﾝｸです　ﾘﾝｸ先も含めて変更になりますが続けますか");
}
inline QString bulkMenu0() {
    return QStringLiteral("複写・移動 (指定ノードから、このノードの下位へ)");
}
inline QString bulkMenu1() {
    return QStringLiteral("複写・移動 (このﾉｰﾄﾞの下位を、指定ノードへ)");
}
inline QString bulkMenu2() {
    return QStringLiteral("削除 (このﾉｰﾄﾞの下位を)");
}
inline QString pasteExisting() {
    return QStringLiteral("既存ﾍﾟｰｼﾞを参照(ﾘﾝｸ)");
}
inline QString codNew() {
    return QStringLiteral("新規(&N)");
}
inline QString codDelete() {
    return QStringLiteral("削除(&D)");
}
inline QString firstPage() {
    return QStringLiteral("最初のﾍﾟｰｼﾞ(&P)");
}

// Captions of the tree context menu mnTree by item index; separators are empty.
inline QString treeMenuCaption(int index) {
    static const std::array<const char16_t*, 25> captions = {
        u"前に新規ﾍﾟｰｼﾞ(&P)",
        u"次に新規ﾍﾟｰｼﾞ(&N)",
        u"下に新規ﾍﾟｰｼﾞ(&D)",
        u"",
        u"前に移動",
        u"後へ移動",
        u"",
        u"切り取り(&T)",
        u"ｺﾋﾟ-(&C)",
        u"貼り付け(&P)",
        u"",
        u"現在の文書を複写して次に挿入",
        u"一括(複写・移動・削除)",
        u"",
        u"既存のﾍﾟｰｼﾞの文書を複写",
        u"文書ﾌｧｲﾙから読込(doc,rtf,txt)",
        u"",
        u"削除(&D)",
        u"名前の変更",
        u"",
        u"ﾌﾟﾛﾊﾟﾃｨ",
        u"現在のﾍﾟｰｼﾞへﾀｸﾞ参照しているﾍﾟｰｼﾞ",
        u"逆引き",
        u"",
        u"独立した編集ﾌｫｰﾑを開く",
    };
    return index >= 0 && index < 25 ? QString::fromUtf16(captions[index]) : QString();
}

// Texts for cases the original tables have no text for.
inline QString cutIntoOwnSubtree() {
    return QStringLiteral("切り取ったﾍﾟｰｼﾞを、そのﾍﾟｰｼﾞ自身の下位へは移動できません");
}
inline QString noSuchPage(int page) {
    return QStringLiteral("文書No:") + QString::number(page) +
           QStringLiteral(" のﾍﾟｰｼﾞは文書ﾃﾞｰﾀｰﾍﾞｰｽにありません");
}
inline QString bulkSkippedHead() {
    return QStringLiteral(
        "次のﾍﾟｰｼﾞは移動先に既にあるか、移動先の上位にあるため処理しませんでした");
}
inline QString bulkConfirmDelete(int count) {
    return QStringLiteral("選択した ") + QString::number(count) +
           QStringLiteral(" 件のﾍﾟｰｼﾞをこのﾉｰﾄﾞから削除して良いですか");
}
inline QString bulkDeleteCommand() {
    return QStringLiteral("⇒　削除");
}
inline QString bulkNothingMarked() {
    return QStringLiteral("処理するﾍﾟｰｼﾞにﾁｪｯｸを付けて下さい");
}
inline QString bulkPickNode() {
    return QStringLiteral("左のﾂﾘｰで指定ﾉｰﾄﾞを選んで下さい");
}

}  // namespace arbor::tree::msg
