#include "editor/byte_io.h"

#include <array>
#include <bit>
#include <cmath>

namespace arbor::bytes {

void ByteWriter::u16(uint16_t value) {
    u8(static_cast<uint8_t>(value & 0xFF));
    u8(static_cast<uint8_t>(value >> 8));
}

void ByteWriter::u32(uint32_t value) {
    u16(static_cast<uint16_t>(value & 0xFFFF));
    u16(static_cast<uint16_t>(value >> 16));
}

void ByteWriter::u64(uint64_t value) {
    u32(static_cast<uint32_t>(value & 0xFFFFFFFFu));
    u32(static_cast<uint32_t>(value >> 32));
}

void ByteWriter::f64(double value) {
    u64(std::bit_cast<uint64_t>(value));
}

void ByteWriter::string(const QString& text) {
    u32(static_cast<uint32_t>(text.size()));
    for (QChar c : text)
        u16(c.unicode());
}

void ByteWriter::bytes(const QByteArray& data) {
    u32(static_cast<uint32_t>(data.size()));
    out_.append(data);
}

void ByteReader::fail(const QString& reason) {
    if (error_.isEmpty())
        error_ = reason;
    pos_ = data_.size();
}

bool ByteReader::take(qsizetype length, const char** start) {
    if (!ok())
        return false;
    if (length < 0 || length > remaining()) {
        fail(QStringLiteral("the data ends too early (truncated)"));
        return false;
    }
    *start = data_.constData() + pos_;
    pos_ += length;
    return true;
}

uint8_t ByteReader::u8() {
    const char* p = nullptr;
    return take(1, &p) ? static_cast<uint8_t>(*p) : 0;
}

uint16_t ByteReader::u16() {
    const char* p = nullptr;
    if (!take(2, &p))
        return 0;
    return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | (static_cast<uint8_t>(p[1]) << 8));
}

uint32_t ByteReader::u32() {
    const uint32_t low = u16();
    const uint32_t high = u16();
    return low | (high << 16);
}

uint64_t ByteReader::u64() {
    const uint64_t low = u32();
    const uint64_t high = u32();
    return low | (high << 32);
}

double ByteReader::f64() {
    const double value = std::bit_cast<double>(u64());
    if (!std::isfinite(value)) {
        fail(QStringLiteral("a number is not finite"));
        return 0;
    }
    return value;
}

QString ByteReader::string() {
    const uint32_t length = u32();
    if (!ok())
        return {};
    if (length > static_cast<uint64_t>(remaining()) / 2) {
        fail(QStringLiteral("a text is longer than the data (truncated)"));
        return {};
    }
    QString text(static_cast<qsizetype>(length), Qt::Uninitialized);
    for (QChar& c : text)
        c = QChar(u16());
    return text;
}

QByteArray ByteReader::bytes() {
    const uint32_t length = u32();
    return raw(static_cast<qsizetype>(length));
}

QByteArray ByteReader::raw(qsizetype length) {
    const char* p = nullptr;
    if (!take(length, &p))
        return {};
    return QByteArray(p, length);
}

uint32_t ByteReader::count(qsizetype minItemSize, uint32_t limit, const char* what) {
    const uint32_t n = u32();
    if (!ok())
        return 0;
    if (n > limit || static_cast<uint64_t>(n) * static_cast<uint64_t>(minItemSize) >
                         static_cast<uint64_t>(remaining())) {
        fail(QStringLiteral("implausible number of %1: %2").arg(QLatin1String(what)).arg(n));
        return 0;
    }
    return n;
}

uint32_t crc32(const QByteArray& data) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (char ch : data)
        crc = table[(crc ^ static_cast<uint8_t>(ch)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

}  // namespace arbor::bytes
