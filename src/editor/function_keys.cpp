#include "editor/function_keys.h"

#include <QStringList>

namespace arbor {

namespace {

QChar digit(int v) {
    return QChar(char16_t(v < 10 ? u'0' + v : v + 55));
}

int value(QChar c) {
    int v = c.unicode() - 48;
    if (v > 9)
        v -= 7;
    return v;
}

}  // namespace

QString menuCode(int group, int index) {
    return QString(digit(group)) + digit(index);
}

bool decodeMenuCode(const QString& code, int& group, int& index) {
    if (code.size() < 2)
        return false;
    group = value(code[0]);
    index = value(code[1]);
    return group >= 0 && group <= 35 && index >= 0 && index <= 35;
}

int FunctionKeys::slot(const QString& name) const {
    if (name.size() < 2)
        return -1;
    const int layer = name[0] == u'F' ? 0 : name[0] == u'C' ? 1 : -1;
    bool ok = false;
    const int number = name.mid(1).toInt(&ok);
    if (layer < 0 || !ok || number < 1 || number > 12)
        return -1;
    return layer * 12 + number - 1;
}

void FunctionKeys::cOn(MenuHost* host) {
    host_ = host;
    map_.clear();
    layer_ = QStringLiteral("F");
    keys_ = QVector<Key>(24);
}

void FunctionKeys::cOff() {
    map_.clear();
    host_ = nullptr;
}

void FunctionKeys::cKey(const QString& key, int group, int index, const QString& caption,
                        const QString& tip) {
    const int s = slot(key);
    if (!host_ || s < 0)
        return;
    const MenuHost::Item item = host_->menuItem(group, index);
    if (!item.exists || item.caption == QLatin1String("-"))
        return;
    QString shownTip = tip;
    if (shownTip.isEmpty())
        shownTip = item.caption.section(u'(', 0, 0);
    // One entry per key: the newest binding wins.
    const QString entry = u',' + key + u'=';
    const int at = map_.indexOf(entry);
    if (at >= 0)
        map_.remove(at, entry.size() + 2);
    map_ += entry + menuCode(group, index);
    Key& k = keys_[s];
    if (caption.isEmpty()) {
        k.caption.clear();
        k.tip.clear();
    } else {
        k.caption = key + u' ' + caption;
        if (!shownTip.isEmpty())
            k.tip = shownTip;
    }
}

void FunctionKeys::SetEnb(const QString& keys, bool enabled) {
    for (const QString& name : keys.split(u',', Qt::SkipEmptyParts)) {
        const int s = slot(name.trimmed());
        if (s >= 0)
            keys_[s].enabled = enabled;
    }
}

void FunctionKeys::SetEnbByMenu() {
    if (!host_)
        return;
    for (const QString& entry : map_.split(u',', Qt::SkipEmptyParts)) {
        const int eq = entry.indexOf(u'=');
        int group = 0, index = 0;
        const int s = slot(entry.left(eq));
        if (s < 0 || !decodeMenuCode(entry.mid(eq + 1), group, index))
            continue;
        const MenuHost::Item item = host_->menuItem(group, index);
        keys_[s].enabled = item.exists && item.enabled;
    }
}

bool FunctionKeys::press(int number, bool ctrl) {
    const QString name =
        (ctrl ? QStringLiteral("C") : QStringLiteral("F")) + QString::number(number);
    const QString entry = u',' + name + u'=';
    const int at = map_.indexOf(entry);
    bool ran = false;
    if (host_ && at >= 0) {
        int group = 0, index = 0;
        const int s = slot(name);
        // A disabled key does nothing, as its menu item would not.
        if (decodeMenuCode(map_.mid(at + entry.size(), 2), group, index) && s >= 0 &&
            keys_[s].enabled) {
            host_->fnMenu(group, index);
            ran = true;
        }
    }
    layer_ = QStringLiteral("F");
    return ran;
}

FunctionKeys::Key FunctionKeys::key(const QString& name) const {
    const int s = slot(name);
    return s < 0 ? Key() : keys_[s];
}

void bindMainWindowKeys(FunctionKeys& keys) {
    struct Binding {
        const char* key;
        QString caption;
        int group;
        int index;
        QString tip;
    };
    // Menu groups: 2 mnFile, 3 mnEdit, 5 mnSelc, 6 mnLocal, 14 mnTree.
    const Binding bindings[] = {
        {"F2", QStringLiteral("見出1"), 5, 0,
         QStringLiteral("指定範囲の書式を見出1(文書表題)のｽﾀｲﾙにします")},
        {"F3", QStringLiteral("見出2"), 5, 1,
         QStringLiteral("指定範囲の書式を見出2(見出し大)のｽﾀｲﾙにします")},
        {"F4", QStringLiteral("見出3"), 5, 2,
         QStringLiteral("指定範囲の書式を見出3(見出し小)のｽﾀｲﾙにします")},
        {"F5", QStringLiteral("本文"), 5, 3, QStringLiteral("指定範囲の書式を本文のｽﾀｲﾙにします")},
        {"F6", QStringLiteral("強調"), 5, 4, QStringLiteral("指定範囲の書式を強調のｽﾀｲﾙにします")},
        {"F7", QStringLiteral("補足"), 5, 5, QStringLiteral("指定範囲の書式を補足のｽﾀｲﾙにします")},
        {"F8", QStringLiteral("更新"), 3, 18, QStringLiteral("現在の文書を更新します")},
        {"F9", QStringLiteral("次Page"), 14, 1, QStringLiteral("次に新規ﾍﾟｰｼﾞを作成します")},
        {"C1", QStringLiteral("IEﾋﾞｭｰ"), 2, 0, QStringLiteral("IEでﾌﾟﾚﾋﾞｭｰを表示します")},
        {"C2", QStringLiteral("ﾋﾞｭｰ"), 2, 2, QStringLiteral("ﾍﾟｰｼﾞﾋﾞｭ-を表示します")},
        {"C3", QStringLiteral("Word"), 2, 7, QStringLiteral("MS Wordで開きます")},
        {"C4", QStringLiteral("参照"), 3, 15, QStringLiteral("他のﾍﾟｰｼﾞを参照します")},
        {"C5", QStringLiteral("画像"), 6, 3, QStringLiteral("外部画像ﾌｧｲﾙから画像を取り込みます")},
        {"C6", QStringLiteral("ﾘﾝｸ"), 6, 11, QStringLiteral("ﾊｲﾊﾟｰﾘﾝｸを挿入します")},
        {"C7", QStringLiteral("ﾀｸﾞ"), 6, 12,
         QStringLiteral("ﾀｸﾞ(文書ﾃﾞｰﾀｰﾍﾞｰｽ内のｰﾘﾝｸ)を挿入します")},
        {"C8", QStringLiteral("改頁"), 6, 18, QStringLiteral("改頁を挿入します")},
        {"C9", QStringLiteral("ﾌｫﾝﾄ"), 5, 9,
         QStringLiteral("指定範囲のﾌｫﾝﾄ･ｻｲｽﾞ･文字色を設定します")},
    };
    for (const Binding& b : bindings)
        keys.cKey(QString::fromLatin1(b.key), b.group, b.index, b.caption, b.tip);
}

}  // namespace arbor
