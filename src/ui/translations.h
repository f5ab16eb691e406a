#pragma once
// Qt's own texts (file dialogs, the context menus of text boxes, standard buttons) in
// Japanese, like every other text the user sees.

class QCoreApplication;

namespace arbor::ui {

// Loads Qt's Japanese translations into the application; false when they are not installed
// (the package qt6-translations-l10n), in which case Qt's texts stay English.
bool installJapaneseTranslations(QCoreApplication& app);

}  // namespace arbor::ui
