#pragma once
// Little-endian primitives for the byte format. The reader never trusts a count or a
// length: every read is checked against what is left of the input, and the first
// failure stops all further reads and keeps its reason.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace arbor::bytes {

class ByteWriter {
  public:
    void u8(uint8_t value) { out_.append(static_cast<char>(value)); }
    void u16(uint16_t value);
    void u32(uint32_t value);
    void i32(int32_t value) { u32(static_cast<uint32_t>(value)); }
    void u64(uint64_t value);
    void i64(int64_t value) { u64(static_cast<uint64_t>(value)); }
    void f64(double value);
    // Length in UTF-16 code units, then the code units: lossless for any QString,
    // unpaired surrogates included.
    void string(const QString& text);
    void bytes(const QByteArray& data);
    void raw(const QByteArray& data) { out_.append(data); }

    const QByteArray& data() const { return out_; }
    qsizetype size() const { return out_.size(); }

  private:
    QByteArray out_;
};

class ByteReader {
  public:
    explicit ByteReader(const QByteArray& data) : data_(data) {}

    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    int32_t i32() { return static_cast<int32_t>(u32()); }
    uint64_t u64();
    int64_t i64() { return static_cast<int64_t>(u64()); }
    // Refuses NaN and infinities: no page has them, and layout code does not expect them.
    double f64();
    QString string();
    QByteArray bytes();
    QByteArray raw(qsizetype length);

    // A count of items that take at least minItemSize bytes each: refused when more
    // items than that could still follow, or more than limit.
    uint32_t count(qsizetype minItemSize, uint32_t limit, const char* what);

    bool ok() const { return error_.isEmpty(); }
    bool atEnd() const { return pos_ == data_.size(); }
    qsizetype remaining() const { return data_.size() - pos_; }
    const QString& error() const { return error_; }
    // Records the first failure only; later ones are consequences of it.
    void fail(const QString& reason);

  private:
    bool take(qsizetype length, const char** start);

    const QByteArray& data_;
    qsizetype pos_ = 0;
    QString error_;
};

// CRC-32 (IEEE 802.3), as zip and PNG use it.
uint32_t crc32(const QByteArray& data);

}  // namespace arbor::bytes
