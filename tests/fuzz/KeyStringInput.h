// The key-string parser's input: the first byte says how the text is encoded
// (even: Latin-1, odd: UTF-16, which reaches surrogates and characters the
// layout has no key for), the second whether Caps Lock is on; the rest is the
// text.
#pragma once

#include "FuzzSupport.h"

#include <QString>

namespace kamsulo::fuzz {

struct KeyStringInput {
    bool utf16 = false;
    bool capsLock = false;
    QString text;

    static KeyStringInput read(ByteReader& in) {
        KeyStringInput input;
        input.utf16 = in.u8() & 1;
        input.capsLock = in.u8() & 1;
        const QByteArray bytes = in.rest();
        input.text = input.utf16
                         ? QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                                              bytes.size() / 2)
                         : QString::fromLatin1(bytes);
        return input;
    }
    QByteArray bytes() const {
        ByteWriter out;
        out.u8(utf16).u8(capsLock);
        if (utf16)
            out.append(QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
        else
            out.append(text.toLatin1());
        return out.bytes();
    }
};

} // namespace kamsulo::fuzz
