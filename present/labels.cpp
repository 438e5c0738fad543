#include "present/labels.h"

#include "present/format_bounded.h"

// Every number formatted here fits 32 bits: a pair number is at most
// INT32_MAX because counts are 32-bit, and so is an array position.  The
// cast to long is therefore exact even where long is 32 bits.

const char16_t* HashChildLabel(const MarshalNode* hash, std::int64_t position, LabelBuffer& buffer) {
    const bool withDefault = hash->type == '}';
    if (withDefault && position == 0) {
        FormatBounded(buffer, kLabelBufferUnits, u"默认值");
    } else if ((position % 2 == 0) != withDefault) {
        // Keys sit at the even positions of '{' and the odd ones of '}'.
        FormatBounded(buffer, kLabelBufferUnits, u"键%ld", static_cast<long>(position / 2));
    } else {
        FormatBounded(buffer, kLabelBufferUnits, u"值%ld", static_cast<long>((position - 1) / 2));
    }
    return buffer;
}

Text ChildLabel(const MarshalNode* container, std::int64_t position, LabelBuffer& buffer) {
    if (IsEntryListType(container->type)) {
        const char* name = container->data.attrs ? container->data.attrs[position].name : nullptr;
        return Utf8ToText(name, buffer);
    }
    if (container->type == '{' || container->type == '}') {
        return BufferText(HashChildLabel(container, position, buffer));
    }
    if (container->type == 'U') return StaticText(u"marshal_dump");
    FormatBounded(buffer, kLabelBufferUnits, u"%ld", static_cast<long>(position));
    return BufferText(buffer);
}
