#include "editor/page_settings.h"

#include <QVariant>

#include "app/yini.h"

namespace arbor {

namespace {
const QString kGroup = QStringLiteral("TX_PAGE");
}

const QVector<PaperSize>& paperSizes() {
    static const QVector<PaperSize> sizes = {
        {QStringLiteral("A4   210 * 297 mm"), 11900, 16838},
        {QStringLiteral("A5   148 * 210 mm"), 8300, 11900},
        {QStringLiteral("B5   182 * 257 mm"), 10318, 14581},
        {QStringLiteral("A6   105 * 148 mm"), 5949, 8380},
        {QStringLiteral("ﾌｫﾄ  102 * 152 mm"), 5779, 8612},
        {QStringLiteral("ﾊｶﾞｷ 100 * 148 mm"), 5666, 8386},
        {QStringLiteral("往復   200*148 mm"), 11332, 8386},
        {QStringLiteral("ﾚﾀ-   8.5 * 11 in"), 12240, 15840},
        {QStringLiteral("ﾘ-ｶﾞﾙ 8.5 * 14 in"), 12240, 20160},
        {QStringLiteral("長形3号 120*235mm"), 6799, 13315},
        {QStringLiteral("長形4号  90*205mm"), 5099, 11615},
        {QStringLiteral("洋形1号 120*176mm"), 6799, 9972},
        {QStringLiteral("洋形2号 114*162mm"), 6459, 9179},
        {QStringLiteral("洋形3号  98*148mm"), 5553, 8386},
        {QStringLiteral("洋形4号 105*235mm"), 5949, 13315},
    };
    return sizes;
}

bool choosePaperSize(int index, doc::PageSetup& page) {
    if (index < 0 || index >= paperSizes().size())
        return false;
    page.width = paperSizes()[index].width;
    page.height = paperSizes()[index].height;
    return true;
}

doc::PageSetup readPageSettings(yIni& ini) {
    const doc::PageSetup defaults;
    doc::PageSetup page;
    ini.GetGtx(kGroup);
    auto value = [&](const char* key, int fallback) {
        return ini.vGtVal(QString::fromLatin1(key), fallback).toInt();
    };
    page.width = value("WIDTH", defaults.width);
    page.height = value("HEIGHT", defaults.height);
    page.marginLeft = value("M_LFT", defaults.marginLeft);
    page.marginTop = value("M_TOP", defaults.marginTop);
    page.marginRight = value("M_RGH", defaults.marginRight);
    page.marginBottom = value("M_BTM", defaults.marginBottom);
    // A page smaller than its margins, or absurdly large, cannot be laid out.
    const bool sane = page.width >= 1440 && page.height >= 1440 && page.width <= 1440 * 100 &&
                      page.height <= 1440 * 100 && page.marginLeft >= 0 && page.marginTop >= 0 &&
                      page.marginRight >= 0 && page.marginBottom >= 0 &&
                      page.marginLeft + page.marginRight < page.width - 720 &&
                      page.marginTop + page.marginBottom < page.height - 720;
    return sane ? page : defaults;
}

void writePageSettings(yIni& ini, const doc::PageSetup& page) {
    ini.GetGtx(kGroup);
    ini.SetVal(QStringLiteral("WIDTH"), page.width);
    ini.SetVal(QStringLiteral("HEIGHT"), page.height);
    ini.SetVal(QStringLiteral("M_LFT"), page.marginLeft);
    ini.SetVal(QStringLiteral("M_TOP"), page.marginTop);
    ini.SetVal(QStringLiteral("M_RGH"), page.marginRight);
    ini.SetVal(QStringLiteral("M_BTM"), page.marginBottom);
    ini.SetGtx();
}

}  // namespace arbor
