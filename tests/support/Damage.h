#pragma once

#include <QByteArray>

#include <cstdint>
#include <random>

namespace skelvin::test {

// Damages a valid file at random: flipped bytes, overwritten sizes, cut ends, spliced copies.
inline QByteArray mutate(QByteArray bytes, std::mt19937 &random)
{
    const int edits = 1 + int(random() % 8);
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
        const auto at = qsizetype(random() % std::uint32_t(bytes.size()));
        switch (random() % 5) {
        case 0:
            bytes[at] = char(random());
            break;
        case 1: { // a size or offset field made huge, zero or odd
            static const quint32 values[] = {0, 1, 0x7fffffff, 0xffffffff, 0x80000000, 12, 40};
            const quint32 v = values[random() % 7];
            if (at + 4 <= bytes.size())
                bytes.replace(at, 4, QByteArray(reinterpret_cast<const char *>(&v), 4));
            break;
        }
        case 2:
            bytes.truncate(at);
            break;
        case 3:
            bytes.insert(at, bytes.mid(qsizetype(random() % std::uint32_t(bytes.size())), 64));
            break;
        default:
            bytes.remove(at, 1 + qsizetype(random() % 16));
            break;
        }
    }
    return bytes;
}

} // namespace skelvin::test
