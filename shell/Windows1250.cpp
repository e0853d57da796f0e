#include "shell/Windows1250.h"

#include <algorithm>
#include <array>

namespace {

// The characters of bytes 0x80-0xFF.
constexpr std::array<char16_t, 128> UpperHalf = {
    // 0x80
    u'\u20AC', u'\u0081', u'\u201A', u'\u0083', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u0088', u'\u2030', u'\u0160', u'\u2039', u'\u015A', u'\u0164', u'\u017D', u'\u0179',
    // 0x90
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u0098', u'\u2122', u'\u0161', u'\u203A', u'\u015B', u'\u0165', u'\u017E', u'\u017A',
    // 0xA0
    u'\u00A0', u'\u02C7', u'\u02D8', u'\u0141', u'\u00A4', u'\u0104', u'\u00A6', u'\u00A7',
    u'\u00A8', u'\u00A9', u'\u015E', u'\u00AB', u'\u00AC', u'\u00AD', u'\u00AE', u'\u017B',
    // 0xB0
    u'\u00B0', u'\u00B1', u'\u02DB', u'\u0142', u'\u00B4', u'\u00B5', u'\u00B6', u'\u00B7',
    u'\u00B8', u'\u0105', u'\u015F', u'\u00BB', u'\u013D', u'\u02DD', u'\u013E', u'\u017C',
    // 0xC0
    u'\u0154', u'\u00C1', u'\u00C2', u'\u0102', u'\u00C4', u'\u0139', u'\u0106', u'\u00C7',
    u'\u010C', u'\u00C9', u'\u0118', u'\u00CB', u'\u011A', u'\u00CD', u'\u00CE', u'\u010E',
    // 0xD0
    u'\u0110', u'\u0143', u'\u0147', u'\u00D3', u'\u00D4', u'\u0150', u'\u00D6', u'\u00D7',
    u'\u0158', u'\u016E', u'\u00DA', u'\u0170', u'\u00DC', u'\u00DD', u'\u0162', u'\u00DF',
    // 0xE0
    u'\u0155', u'\u00E1', u'\u00E2', u'\u0103', u'\u00E4', u'\u013A', u'\u0107', u'\u00E7',
    u'\u010D', u'\u00E9', u'\u0119', u'\u00EB', u'\u011B', u'\u00ED', u'\u00EE', u'\u010F',
    // 0xF0
    u'\u0111', u'\u0144', u'\u0148', u'\u00F3', u'\u00F4', u'\u0151', u'\u00F6', u'\u00F7',
    u'\u0159', u'\u016F', u'\u00FA', u'\u0171', u'\u00FC', u'\u00FD', u'\u0163', u'\u02D9',
};

struct ByteOf {
    char16_t character;
    unsigned char byte;
};

// The upper half sorted by character, for looking up the byte of a character.
constexpr std::array<ByteOf, 128> ByCharacter = [] {
    std::array<ByteOf, 128> table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = {UpperHalf[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(table.begin(), table.end(), [](ByteOf a, ByteOf b) { return a.character < b.character; });
    return table;
}();

// Each character has one byte only, and none of them is ASCII; otherwise encoding would not undo
// decoding.
static_assert(std::adjacent_find(ByCharacter.begin(), ByCharacter.end(),
                                 [](ByteOf a, ByteOf b) { return a.character == b.character; })
              == ByCharacter.end());
static_assert(ByCharacter.front().character >= 0x80);

} // namespace

QString decodeWindows1250(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = QChar(byte < 0x80 ? char16_t(byte) : UpperHalf[byte - 0x80]);
    }
    return text;
}

QByteArray encodeWindows1250(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes.append(static_cast<char>(c));
            continue;
        }
        const auto found = std::lower_bound(ByCharacter.begin(), ByCharacter.end(), c,
                                            [](ByteOf entry, char16_t value) { return entry.character < value; });
        if (found != ByCharacter.end() && found->character == c) {
            bytes.append(static_cast<char>(found->byte));
            continue;
        }
        // One '?' for a character outside the code page, even when it takes two UTF-16 units.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        bytes.append('?');
    }
    return bytes;
}
