// The Song Index walk over a small folder tree built from the input: folders, song files,
// links (to any folder made so far, so cycles come easily, or to nothing) and names with bytes
// that are not valid UTF-8. Every entry found must be a distinct song file that find() gives
// back for its own base name.
#include "fuzz/fuzz_support.h"
#include "run/song_index.h"
#include "shell/path_utils.h"

#include <QFileInfo>
#include <QSet>

#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavorin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr char nameBytes[] = "aAbB.mp3rMPR_\xFF\x82";
    const QByteArray root =
        QFile::encodeName(fuzz::scratchFolder().filePath(QStringLiteral("tree")));
    std::filesystem::remove_all(root.constData());
    ::mkdir(root.constData(), 0755);
    std::vector<QByteArray> folders{root};
    QByteArray current = root;
    std::size_t at = 0;
    for (std::size_t step = 0; step < 64 && at + 1 < size; ++step) {
        const std::uint8_t op = data[at++];
        const std::size_t length = data[at++] % 6 + 1;
        QByteArray path = current + '/';
        for (std::size_t i = 0; i < length && at < size; ++i) {
            path += nameBytes[data[at++] % (sizeof nameBytes - 1)];
        }
        const QByteArray& someFolder = folders[op / 6 % folders.size()];
        if (op % 6 == 0 && ::mkdir(path.constData(), 0755) == 0) {
            folders.push_back(path);
            current = path;
        } else if (op % 6 == 1 || op % 6 == 2) {
            ::close(::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
        } else if (op % 6 == 3 || op % 6 == 4) {
            [[maybe_unused]] const int linked = ::symlink(
                op % 6 == 3 ? someFolder.constData() : "/nonexistent/x.mp3", path.constData());
        } else if (op % 6 == 5) {
            current = someFolder;
        }
    }

    SongIndex index;
    index.build(QFile::decodeName(root), size > 0 && (data[0] & 0x80) != 0, [] {});
    QSet<QString> seen;
    for (const QString& entry : index.entries()) {
        fuzz::require(!seen.contains(entry) && QFileInfo(entry).isFile());
        seen.insert(entry);
        fuzz::require(
            baseNameOf(index.find(entry)).compare(baseNameOf(entry), Qt::CaseInsensitive) == 0);
    }
    // Qt cannot remove names that are not valid UTF-8; the scratch folder must end empty.
    std::filesystem::remove_all(root.constData());
    return 0;
}
