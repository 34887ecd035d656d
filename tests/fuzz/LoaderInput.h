// The image loader's input: the first byte picks the file name's ending, the
// second which of its letters are capitals, and the rest is the file.
#pragma once

#include "FuzzSupport.h"

#include <QByteArray>
#include <QString>
#include <array>

namespace kamsulo::fuzz {

// Every ending of every extension class, and one the loader refuses.
inline constexpr std::array<const char*, 16> LoaderEndings = {
    ".bmp", ".dib", ".rle", ".ico", ".cur",  ".emf",  ".wmf",  ".gif",
    ".png", ".tif", ".jpe", ".jpg", ".tiff", ".jpeg", ".jfif", ".txt"};

struct LoaderInput {
    int ending = 0;
    int capitals = 0; // bit i: the ending's i-th character in upper case
    QByteArray file;

    static LoaderInput read(ByteReader& in) {
        LoaderInput input;
        input.ending = in.inRange(0, int(LoaderEndings.size()) - 1);
        input.capitals = in.u8();
        input.file = in.rest();
        return input;
    }
    QByteArray bytes() const { return ByteWriter().u8(ending).u8(capitals).append(file).bytes(); }

    QString fileName() const {
        QString name = QString::fromLatin1(LoaderEndings[std::size_t(ending)]);
        for (qsizetype i = 0; i < name.size(); ++i)
            if (capitals >> i & 1) name[i] = name[i].toUpper();
        return QStringLiteral("picture") + name;
    }
};

} // namespace kamsulo::fuzz
