#pragma once
// Lists: numbering.xml as Qt list formats (reading) and Qt lists as numbering
// definitions (writing). Only the kind of mark per level travels; Word's numbering
// restarts and custom texts do not.

#include <QByteArray>
#include <QHash>
#include <QTextListFormat>
#include <optional>
#include <vector>

namespace arbor::docx {

class Numbering {
  public:
    // xml has passed the safety check.
    void read(const QByteArray& xml);
    // The list format of a paragraph in list numId at level; nothing when it is not
    // in a list.
    std::optional<QTextListFormat> format(int numId, int level) const;

  private:
    struct Level {
        QTextListFormat::Style style = QTextListFormat::ListDisc;
        bool none = false;
    };
    QHash<int, QHash<int, Level>> abstract_;  // abstractNumId -> level -> mark
    QHash<int, int> nums_;                    // numId -> abstractNumId
};

// Numbering definitions collected while writing: one per Qt list.
class NumberingWriter {
  public:
    // A new numId for a list of this style whose items stand at level (0-8).
    int add(QTextListFormat::Style style, int level);
    bool isEmpty() const { return lists_.empty(); }
    QByteArray xml() const;

  private:
    struct List {
        QTextListFormat::Style style;
        int level;
    };
    std::vector<List> lists_;
};

}  // namespace arbor::docx
