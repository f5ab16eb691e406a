#include "web/style_sheet_editor_gif.h"

#include <algorithm>

namespace arbor::web {

namespace {

void putWord(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

// LZW codes of three bits, least significant bit first.
class CodeWriter {
  public:
    void put(int code) {
        bits_ |= static_cast<quint32>(code) << count_;
        count_ += 3;
        while (count_ >= 8) {
            data_.append(static_cast<char>(bits_ & 0xFF));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    QByteArray finish() {
        if (count_ > 0)
            data_.append(static_cast<char>(bits_ & 0xFF));
        return data_;
    }

  private:
    QByteArray data_;
    quint32 bits_ = 0;
    int count_ = 0;
};

}  // namespace

QByteArray twoColumnGif(int width, int leftWidth, const QColor& left, const QColor& right) {
    width = std::clamp(width, 1, 65535);
    leftWidth = std::clamp(leftWidth, 0, width);
    QByteArray out("GIF89a");
    putWord(out, width);
    putWord(out, 1);
    out.append(static_cast<char>(0x80));  // a global table of two colours
    out.append('\0');                     // background: the first colour
    out.append('\0');
    for (const QColor& c : {left, right}) {
        out.append(static_cast<char>(c.red()));
        out.append(static_cast<char>(c.green()));
        out.append(static_cast<char>(c.blue()));
    }
    out.append(',');  // the image
    putWord(out, 0);
    putWord(out, 0);
    putWord(out, width);
    putWord(out, 1);
    out.append('\0');
    // Minimum code size 2: clear is 4, end 5. A clear code after every two pixels keeps the
    // table from growing, so every code stays three bits wide (no compression needed for
    // one line).
    constexpr int kClear = 4, kEnd = 5;
    out.append('\x02');
    CodeWriter codes;
    for (int x = 0; x < width; ++x) {
        if (x % 2 == 0)
            codes.put(kClear);
        codes.put(x < leftWidth ? 0 : 1);
    }
    codes.put(kEnd);
    const QByteArray data = codes.finish();
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        out.append(static_cast<char>(block.size()));
        out.append(block);
    }
    out.append('\0');
    out.append(';');
    return out;
}

}  // namespace arbor::web
