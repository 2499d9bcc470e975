#include "shell/file_name_bytes.h"

namespace tavorin {

namespace {

constexpr qsizetype longestUtf8Sequence = 4;

// U+FEFF: decoding drops it at the start of a name, so such a name does not come back whole;
// anywhere else it is invisible. Either way a report shows its bytes.
constexpr QByteArrayView byteOrderMark("\xef\xbb\xbf");

// The length of the UTF-8 character that starts at `at`, or 0 when the byte there starts none.
// A lone lead byte is not valid, so the shortest valid stretch is exactly one character.
qsizetype characterLengthAt(QByteArrayView bytes, qsizetype at) {
    for (qsizetype length = 1; length <= longestUtf8Sequence && at + length <= bytes.size();
         ++length) {
        if (bytes.sliced(at, length).isValidUtf8()) {
            return length;
        }
    }
    return 0;
}

bool isControlCharacter(unsigned char byte) {
    return byte < 0x20 || byte == 0x7f;
}

} // namespace

bool isReadableName(QByteArrayView nameBytes) {
    return nameBytes.isValidUtf8() && !nameBytes.startsWith(byteOrderMark);
}

QString escapedName(QByteArrayView nameBytes) {
    QString shown;
    shown.reserve(nameBytes.size());
    qsizetype at = 0;
    while (at < nameBytes.size()) {
        const auto byte = static_cast<unsigned char>(nameBytes[at]);
        const qsizetype length = characterLengthAt(nameBytes, at);
        const bool hidden =
            isControlCharacter(byte) || nameBytes.sliced(at, length) == byteOrderMark;
        if (length == 0 || hidden) {
            shown += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
            ++at;
            continue;
        }
        shown += QString::fromUtf8(nameBytes.sliced(at, length));
        at += length;
    }
    return shown;
}

} // namespace tavorin
