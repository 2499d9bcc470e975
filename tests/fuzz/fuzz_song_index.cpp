// The Song Index walk over a small folder tree built from the input: folders, song files,
// links (to any folder made so far, so cycles come easily, or to nothing) and names with bytes
// that are not valid UTF-8. Every entry found must be a distinct song file that find() gives
// back for its own base name.
#include "fuzz/fuzz_support.h"
#include "run/song_index.h"
#include "shell/path_utils.h"

#include <QFileInfo>
#include <QSet>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char nameBytes[] = "aAbB.mp3rMPR_\xFF\x82";
constexpr std::size_t maxSteps = 64;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray root =
        QFile::encodeName(tavorin::fuzz::scratchFolder().filePath(QStringLiteral("tree")));
    std::filesystem::remove_all(root.constData());
    ::mkdir(root.constData(), 0755);

    std::vector<QByteArray> folders{root};
    QByteArray current = root;
    std::size_t at = 0;
    for (std::size_t step = 0; step < maxSteps && at + 1 < size; ++step) {
        const std::uint8_t op = data[at++];
        const std::size_t length = data[at++] % 6 + 1;
        QByteArray name;
        for (std::size_t i = 0; i < length && at < size; ++i) {
            name += nameBytes[data[at++] % (sizeof nameBytes - 1)];
        }
        const QByteArray path = current + '/' + name;
        switch (op % 6) {
        case 0:
            if (::mkdir(path.constData(), 0755) == 0) {
                folders.push_back(path);
                current = path;
            }
            break;
        case 1:
        case 2: {
            const int handle = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (handle >= 0) {
                ::close(handle);
            }
            break;
        }
        case 3: {
            [[maybe_unused]] const int linked =
                ::symlink(folders[op / 6 % folders.size()].constData(), path.constData());
            break;
        }
        case 4: {
            [[maybe_unused]] const int dangling = ::symlink("/nonexistent/x.mp3", path.constData());
            break;
        }
        default:
            current = folders[op / 6 % folders.size()];
            break;
        }
    }

    tavorin::SongIndex index;
    int events = 0;
    index.build(QFile::decodeName(root), size > 0 && (data[0] & 0x80) != 0,
                [&events] { ++events; });
    QSet<QString> seen;
    for (const QString& entry : index.entries()) {
        if (seen.contains(entry) || !QFileInfo(entry).isFile()) {
            std::abort();
        }
        seen.insert(entry);
        const QString found = index.find(entry);
        if (tavorin::baseNameOf(found).compare(tavorin::baseNameOf(entry), Qt::CaseInsensitive) !=
            0) {
            std::abort();
        }
    }
    // Qt cannot remove names that are not valid UTF-8; the scratch folder must end empty.
    std::filesystem::remove_all(root.constData());
    return 0;
}
