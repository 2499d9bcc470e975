// The Song Index walk over a small folder tree built from the input: folders, song files,
// links (to any folder made so far, so cycles come easily, or to nothing) and names with bytes
// that are not valid UTF-8. Every entry found must be a distinct song file that find() gives
// back for its own base name.
#include "fuzz/fuzz_support.h"
#include "run/song_index.h"
#include "shell/path_utils.h"

#include <QFileInfo>

#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

using namespace tavorin;
namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr char nameBytes[] = "aAbB.mp3rMPR_\xFF\x82";
    const fs::path root =
        QFile::encodeName(fuzz::scratchFolder().filePath(QStringLiteral("tree"))).toStdString();
    fs::remove_all(root);
    fs::create_directory(root);
    std::vector<fs::path> folders{root};
    fs::path current = root;
    std::error_code ignored;
    for (std::size_t step = 0, at = 0; step < 64 && at + 1 < size; ++step) {
        const std::uint8_t op = data[at++];
        std::string name;
        for (std::size_t i = data[at++] % 6 + 1; i > 0 && at < size; --i) {
            name += nameBytes[data[at++] % (sizeof nameBytes - 1)];
        }
        const fs::path& someFolder = folders[op / 6 % folders.size()];
        if (op % 6 == 0 && fs::create_directory(current / name, ignored)) {
            folders.push_back(current /= name);
        } else if (op % 6 == 1 || op % 6 == 2) {
            std::ofstream{current / name};
        } else if (op % 6 == 3 || op % 6 == 4) {
            fs::create_symlink(op % 6 == 3 ? someFolder : "/nonexistent/x.mp3", current / name,
                               ignored);
        } else if (op % 6 == 5) {
            current = someFolder;
        }
    }

    SongIndex index;
    index.build(QFile::decodeName(root.c_str()), size > 0 && (data[0] & 0x80) != 0, [] {});
    std::set<QString> seen;
    for (const QString& entry : index.entries()) {
        fuzz::require(
            seen.insert(entry).second && QFileInfo(entry).isFile() &&
            baseNameOf(index.find(entry)).compare(baseNameOf(entry), Qt::CaseInsensitive) == 0);
    }
    fs::remove_all(root); // Qt cannot remove names that are not valid UTF-8
    return 0;
}
