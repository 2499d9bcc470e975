#include "run/lyrics_file_list.h"

#include "run/name_order.h"
#include "shell/path_utils.h"

#include <algorithm>

namespace tavorin {

bool LyricsFileList::isLyricsFileName(const QString& path) {
    const QString extension = extensionOf(path).toLower();
    return extension == u"txt" || extension == u"lrc" || extension == u"kra";
}

bool LyricsFileList::add(const QString& path) {
    if (!isLyricsFileName(path)) {
        return false;
    }
    const QString lowered = path.toLower();
    if (lowered.isEmpty() || loweredEntries.contains(lowered)) {
        return false;
    }
    const auto place = std::upper_bound(list.begin(), list.end(), path,
                                        [](const QString& candidate, const QString& entry) {
                                            return precedesIgnoringCase(candidate, entry);
                                        });
    list.insert(place, path);
    loweredEntries.insert(lowered);
    return true;
}

void LyricsFileList::clear() {
    list.clear();
    loweredEntries.clear();
}

} // namespace tavorin
