#include "questions/protobuf_wire.h"

namespace questions {

std::optional<uint64_t> ProtoReader::readVarint()
{
    uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (at_ >= data_.size())
            return std::nullopt;
        const auto byte = uint8_t(data_[at_++]);
        value |= uint64_t(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            return value;
    }
    return std::nullopt; // more than ten bytes
}

std::optional<ProtoField> ProtoReader::next()
{
    if (failed_ || at_ >= data_.size())
        return std::nullopt;
    const std::optional<uint64_t> key = readVarint();
    ProtoField field;
    if (key && (*key >> 3) > 0 && (*key >> 3) <= UINT32_MAX) {
        field.number = uint32_t(*key >> 3);
        field.wireType = int(*key & 7);
        switch (field.wireType) {
        case 0:
            if (const std::optional<uint64_t> value = readVarint()) {
                field.varint = *value;
                return field;
            }
            break;
        case 1:
        case 5: {
            const qsizetype size = field.wireType == 1 ? 8 : 4;
            if (data_.size() - at_ >= size) {
                at_ += size;
                return field;
            }
            break;
        }
        case 2:
            if (const std::optional<uint64_t> length = readVarint(); length && *length <= uint64_t(data_.size() - at_)) {
                field.bytes = data_.sliced(at_, qsizetype(*length));
                at_ += qsizetype(*length);
                return field;
            }
            break;
        default:
            break;
        }
    }
    failed_ = true;
    return std::nullopt;
}

uint64_t protoVarint(QByteArrayView message, uint32_t number)
{
    ProtoReader reader(message);
    while (const std::optional<ProtoField> field = reader.next())
        if (field->number == number && field->wireType == 0)
            return field->varint;
    return 0;
}

QByteArrayView protoBytes(QByteArrayView message, uint32_t number)
{
    ProtoReader reader(message);
    while (const std::optional<ProtoField> field = reader.next())
        if (field->number == number && field->wireType == 2)
            return field->bytes;
    return {};
}

} // namespace questions
