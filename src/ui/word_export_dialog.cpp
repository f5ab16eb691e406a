#include "ui/word_export_dialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/prompter.h"
#include "ui/dialog_buttons.h"

namespace arbor::ui {

QString pathForKind(const QString& path, word::Kind kind) {
    if (path.trimmed().isEmpty())
        return path;
    const QString wanted =
        kind == word::Kind::Text ? QStringLiteral(".txt") : QStringLiteral(".docx");
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    if (QStringLiteral(".") + suffix == wanted)
        return path;
    QString base = path;
    if (suffix == QLatin1String("txt") || suffix == QLatin1String("docx") ||
        suffix == QLatin1String("doc"))
        base.chop(suffix.size() + 1);
    return base + wanted;
}

WordExportDialog::WordExportDialog(QWidget* parent, const word::ExportRequest& initial,
                                   bool nodeRanges)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("文書出力の指定"));
    auto* layout = new QVBoxLayout(this);

    auto* range = new QGroupBox(QStringLiteral("出力範囲"), this);
    auto* rangeLayout = new QVBoxLayout(range);
    const QStringList rangeCaptions = word::rangeCaptions();
    for (int i = 0; i < rangeCaptions.size(); ++i) {
        auto* button = new QRadioButton(rangeCaptions[i], range);
        button->setEnabled(i == 0 || nodeRanges);
        rangeLayout->addWidget(button);
        ranges_ << button;
    }
    const int chosenRange = nodeRanges ? int(initial.range) : 0;
    ranges_.value(chosenRange, ranges_.first())->setChecked(true);
    layout->addWidget(range);

    auto* format = new QGroupBox(QStringLiteral("形式"), this);
    auto* formatLayout = new QVBoxLayout(format);
    const QStringList kindCaptions = word::kindCaptions();
    for (const QString& caption : kindCaptions) {
        auto* button = new QRadioButton(caption, format);
        formatLayout->addWidget(button);
        kinds_ << button;
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                kindChanged();
        });
    }
    layout->addWidget(format);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("出力先"), this));
    path_ = new QLineEdit(initial.path, this);
    path_->setMinimumWidth(360);
    fileRow->addWidget(path_, 1);
    auto* browseButton = new QPushButton(QStringLiteral("参照..."), this);
    connect(browseButton, &QPushButton::clicked, this, [this] { browse(); });
    fileRow->addWidget(browseButton);
    layout->addLayout(fileRow);
    kinds_.value(int(initial.kind), kinds_.value(1))->setChecked(true);

    layout->addWidget(okCancelButtons(this));
}

void WordExportDialog::kindChanged() {
    for (int i = 0; i < kinds_.size(); ++i)
        if (kinds_[i]->isChecked())
            path_->setText(pathForKind(path_->text(), static_cast<word::Kind>(i)));
}

void WordExportDialog::browse() {
    word::ExportRequest chosen;
    apply(chosen);
    const QFileInfo current(chosen.path);
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = QStringLiteral("文書の出力先");
    request.folder = current.absolutePath() + u'/';
    request.fileName = current.fileName();
    request.filters = {chosen.kind == word::Kind::Text ? QStringLiteral("ﾃｷｽﾄ(*.txt)")
                                                       : QStringLiteral("ﾜｰﾄﾞ文書(*.docx)")};
    const QString file = prompter().chooseFile(request);
    if (!file.isEmpty())
        path_->setText(pathForKind(file, chosen.kind));
}

void WordExportDialog::apply(word::ExportRequest& request) const {
    for (int i = 0; i < ranges_.size(); ++i)
        if (ranges_[i]->isChecked())
            request.range = static_cast<word::Range>(i);
    for (int i = 0; i < kinds_.size(); ++i)
        if (kinds_[i]->isChecked())
            request.kind = static_cast<word::Kind>(i);
    request.path = pathForKind(path_->text().trimmed(), request.kind);
}

bool WordExportDialog::ask(QWidget* parent, word::ExportRequest& request, bool nodeRanges) {
    WordExportDialog dialog(parent, request, nodeRanges);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.apply(request);
    return !request.path.isEmpty();
}

}  // namespace arbor::ui
