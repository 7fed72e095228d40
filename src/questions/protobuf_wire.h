#pragma once
// The few protocol-buffer messages of an Anki package are read straight from
// their wire format: a field is a key (field number and wire type, a varint)
// and a value (a varint, 8 bytes, a length and that many bytes, or 4 bytes).
// Only the fields the reader needs are looked at; the rest are skipped.

#include <QByteArrayView>

#include <cstdint>
#include <optional>

namespace questions {

struct ProtoField {
    uint32_t number = 0;
    int wireType = 0;        // 0 varint, 1 eight bytes, 2 length-delimited, 5 four bytes
    uint64_t varint = 0;     // wire type 0
    QByteArrayView bytes;    // wire type 2
};

// The fields of `message` one by one; nothing once a field is malformed
// (cut short, a length past the end, an unknown wire type).
class ProtoReader {
public:
    explicit ProtoReader(QByteArrayView message) : data_(message) {}
    // The next field, or nothing at the end or on malformed input.
    std::optional<ProtoField> next();
    // Whether the message ended after its last field (no malformed tail).
    bool atEnd() const { return !failed_ && at_ == data_.size(); }

private:
    std::optional<uint64_t> readVarint();
    QByteArrayView data_;
    qsizetype at_ = 0;
    bool failed_ = false;
};

// The first varint field `number` of `message` (0, protobuf's default, when absent).
uint64_t protoVarint(QByteArrayView message, uint32_t number);
// The first length-delimited field `number` of `message` (empty when absent).
QByteArrayView protoBytes(QByteArrayView message, uint32_t number);

} // namespace questions
