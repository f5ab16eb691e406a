// Times the page editor: opening long pages (the stored block into the editor, shown and
// laid out) and switching between two ordinary pages (save the one shown, load the other),
// as the main window does on a click in the tree.
//
//   editor_bench [--reps N] [--sizes 1000,4000,5000]
// Targets: a page of up to 5,000 paragraphs opens in under 0.3 s; a switch between two
// ordinary pages takes under 50 ms.

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

#include "editor/link_fields.h"
#include "editor/paragraph_styles.h"
#include "editor/rich_text.h"
#include "editor/user_formats.h"
#include "ui/utxm.h"

using namespace arbor;

namespace {

QTextStream out(stdout);

struct Timing {
    double best = 0;
    double median = 0;
};

Timing measure(int reps, const std::function<void()>& run) {
    std::vector<double> ms;
    for (int i = 0; i < reps; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

void report(const QString& what, const Timing& t, double targetMs) {
    out << qSetFieldWidth(44) << Qt::left << what << qSetFieldWidth(0)
        << QString::asprintf("best %9.2f ms   median %9.2f ms", t.best, t.median);
    if (targetMs > 0)
        out << QString::asprintf("   target %6.0f ms  %s", targetMs,
                                 t.median < targetMs ? "ok" : "SLOW");
    out << Qt::endl;
}

// What the event loop still has to do after a call (layout, painting) belongs to it.
void settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// A page as users write them: a heading every twenty paragraphs, body text of about a
// line and a half with a tag link or a hyperlink now and then, and a small table every
// two hundred paragraphs.
QByteArray page(int paragraphs, int seed) {
    RichText text;
    QTextCursor& c = text.cursor();
    const Frmt& formats = Frmt::instance();
    const QString sentence = QStringLiteral(
        "文書データベースのページは見出しと本文から成り、表や画像、他のページへのリンクを含みます。"
        "Arbor keeps every page in one block. ");
    for (int i = 0; i < paragraphs; ++i) {
        if (i > 0)
            c.insertBlock();
        if (i % 20 == 0) {
            c.insertText(QStringLiteral("第%1節 見出し %2").arg(i / 20 + 1).arg(seed));
            applyParagraphStyle(c, i % 100 == 0 ? kHeading1 : kHeading2, formats);
            continue;
        }
        applyParagraphStyle(c, kBody, formats);
        c.insertText(QString::number(i) + u' ' + sentence);
        if (i % 7 == 0) {
            text.insertField(QStringLiteral("関連ページ"), QStringLiteral("TG_%1").arg(1000 + i));
            c.insertText(QStringLiteral(" を参照。"));
        } else if (i % 11 == 0) {
            text.insertField(QStringLiteral("外部"),
                             QStringLiteral("https://example.org/%1").arg(i));
        }
        if (i % 200 == 199) {
            c.insertBlock();
            text.insertTable(3, 3);
            c.movePosition(QTextCursor::End);
        }
    }
    return text.saveBytes();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int reps = 5;
    QList<int> sizes = {1000, 4000, 5000};
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--reps"))
            reps = std::max(1, args[i + 1].toInt());
        if (args[i] == QLatin1String("--sizes")) {
            sizes.clear();
            for (const QString& s : args[i + 1].split(u','))
                sizes << s.toInt();
        }
    }

    ui::uTxm editor;
    editor.resize(1000, 800);
    editor.setCTyp(2);
    editor.show();
    settle();

    out << "Opening a long page (SetData, shown and laid out)" << Qt::endl;
    for (int n : sizes) {
        const QByteArray bytes = page(n, 1);
        const Timing t = measure(reps, [&] {
            editor.SetData(bytes, true);
            settle();
        });
        report(QStringLiteral("%1 paragraphs (%2 KB)").arg(n).arg(bytes.size() / 1024), t, 300);
    }
    // The view lays out the rest of a long page in steps between events; for comparison,
    // the whole of it at once.
    out << "Opening and laying out the whole page at once (no target)" << Qt::endl;
    for (int n : sizes) {
        const QByteArray bytes = page(n, 1);
        const Timing t = measure(reps, [&] {
            editor.SetData(bytes, true);
            editor.GetObj().body()->documentLayout()->documentSize();
        });
        report(QStringLiteral("%1 paragraphs").arg(n), t, 0);
    }

    out << "Switching between two ordinary pages (save the shown one, load the other)" << Qt::endl;
    const QByteArray first = page(40, 1);
    const QByteArray second = page(40, 2);
    editor.SetData(first, true);
    settle();
    bool showingFirst = true;
    const Timing t = measure(reps * 4, [&] {
        const PageContent stored = editor.pageContent();
        Q_UNUSED(stored);
        editor.SetData(showingFirst ? second : first, true);
        showingFirst = !showingFirst;
        settle();
    });
    report(QStringLiteral("40 paragraphs, save + load"), t, 50);
    return 0;
}
