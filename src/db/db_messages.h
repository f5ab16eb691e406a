#pragma once
// Texts the database layer shows or prepares.

#include <QString>

namespace arbor::msg {

inline QString readOnlyDatabase() {
    return QStringLiteral("現在の文書ﾃﾞｰﾀｰﾍﾞｰｽは読み込み専用です");
}
inline QString openError() {
    return QStringLiteral("DataBase Open Error !!");
}
inline QString formatsUnreadable() {
    return QStringLiteral("文書ﾃﾞｰﾀｰﾍﾞｰｽから書式設定が読み込めません");
}
inline QString notDocumentDatabase() {
    return QStringLiteral("Arborの文書データーベースではありません");
}

}  // namespace arbor::msg
