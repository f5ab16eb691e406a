#pragma once
// "文書出力の指定": the range, the format and the file of the document export.

#include <QDialog>
#include <QList>

#include "exchange/word_export.h"

class QLineEdit;
class QRadioButton;

namespace arbor::ui {

class WordExportDialog : public QDialog {
  public:
    // nodeRanges: a page is current, so the node ranges can be chosen.
    WordExportDialog(QWidget* parent, const word::ExportRequest& initial, bool nodeRanges);

    // The choices, into request (range, kind, path).
    void apply(word::ExportRequest& request) const;

    QRadioButton* rangeButton(word::Range range) const { return ranges_.value(int(range)); }
    QRadioButton* kindButton(word::Kind kind) const { return kinds_.value(int(kind)); }
    QLineEdit* pathEdit() const { return path_; }

    // Shows the dialog; false when cancelled or no file was named.
    static bool ask(QWidget* parent, word::ExportRequest& request, bool nodeRanges);

  private:
    void kindChanged();
    void browse();

    QList<QRadioButton*> ranges_;
    QList<QRadioButton*> kinds_;
    QLineEdit* path_ = nullptr;
};

// The file's extension for the kind: ".txt" for text, else ".docx"; other extensions
// are replaced.
QString pathForKind(const QString& path, word::Kind kind);

}  // namespace arbor::ui
