#pragma once
// Collects the content of one w:p for the story reader; a page break inside the
// paragraph splits it into two.

#include "exchange/docx_story_reader.h"

namespace arbor::docx {

class StoryReader::ParagraphBuilder {
  public:
    explicit ParagraphBuilder(std::vector<ir::Block>& out) : out_(out) {}

    ir::Paragraph current;
    QTextCharFormat runBase;  // the paragraph style's run formatting

    void addText(const QString& text, const QTextCharFormat& format) {
        if (text.isEmpty())
            return;
        beforeContent();
        if (!current.inlines.empty()) {
            ir::Inline& last = current.inlines.back();
            if (last.picture < 0 && last.format == format) {
                last.text += text;
                return;
            }
        }
        current.inlines.push_back({text, format, -1, 0, 0});
    }
    void addPicture(int index, double width, double height, const QTextCharFormat& format) {
        beforeContent();
        current.inlines.push_back({QString(), format, index, width, height});
    }
    void pageBreak() {
        if (current.inlines.empty() && !split_)
            current.format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        else
            splitPending_ = true;
    }
    // The paragraph's last block: page break after when one was pending.
    ir::Paragraph& finish() {
        if (splitPending_)
            current.format.setPageBreakPolicy(current.format.pageBreakPolicy() |
                                              QTextFormat::PageBreak_AlwaysAfter);
        out_.emplace_back();
        out_.back().paragraph = std::move(current);
        return out_.back().paragraph;
    }

  private:
    void beforeContent() {
        if (!splitPending_)
            return;
        splitPending_ = false;
        split_ = true;
        ir::Paragraph next;
        next.format = current.format;
        next.format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        next.markFormat = current.markFormat;
        out_.emplace_back();
        out_.back().paragraph = std::move(current);
        current = std::move(next);
    }

    std::vector<ir::Block>& out_;
    bool splitPending_ = false;
    bool split_ = false;
};

}  // namespace arbor::docx
