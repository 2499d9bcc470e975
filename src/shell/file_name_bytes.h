#pragma once

#include <QByteArrayView>
#include <QString>

namespace tavorin {

// On this platform a file name is bytes, and the program holds names as text decoded from
// UTF-8. A name that is not UTF-8 (a Shift-JIS name copied from an old Windows archive, for
// one) decodes with replacement characters into a name that no file has, so nothing could open
// it by that text: such a file is reported, by its bytes, instead of being taken.

// True when the bytes are UTF-8, so the name goes to text and back unchanged.
bool isReadableName(QByteArrayView nameBytes);

// The name for a report: the UTF-8 characters as they are, every other byte and every control
// character as \xNN (a\xffb.txt), so a terminal or a message box shows each byte.
QString escapedName(QByteArrayView nameBytes);

} // namespace tavorin
