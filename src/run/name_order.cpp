#include "run/name_order.h"

namespace tavorin {

bool precedesIgnoringCase(QStringView a, QStringView b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

} // namespace tavorin
