// The I/O floor of a Correction Mode run (W3): for every lyrics file, the bytes the run reads
// (the whole lyrics file and its song) and the bytes it writes, written the way the run
// writes them: a new file beside the old one, flushed to disk, given the old file's
// permission bits, renamed over it, and the folder flushed. No parsing, no text decoding.
//
// Usage: io_floor MANIFEST   (lines: lyrics path TAB song path TAB output size in bytes)
// Prints one line: files=N read_bytes=R written_bytes=W

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool readWhole(const std::string& path, std::vector<char>& buffer) {
    const int handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) {
        return false;
    }
    struct stat facts {};
    if (::fstat(handle, &facts) != 0) {
        ::close(handle);
        return false;
    }
    buffer.resize(static_cast<std::size_t>(facts.st_size));
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::read(handle, buffer.data() + done, buffer.size() - done);
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    ::close(handle);
    buffer.resize(done);
    return true;
}

bool replaceAtomically(const std::string& path, const std::vector<char>& bytes, int serial) {
    const std::string::size_type slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string temporary = folder + "/.floor-" + std::to_string(serial) + ".tmp";
    const int handle = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (handle < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(handle, bytes.data() + done, bytes.size() - done);
        if (put <= 0) {
            ::close(handle);
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    const bool synced = ::fsync(handle) == 0;
    ::close(handle);
    struct stat original {};
    if (!synced || ::stat(path.c_str(), &original) != 0 ||
        ::chmod(temporary.c_str(), original.st_mode & 07777) != 0 ||
        ::rename(temporary.c_str(), path.c_str()) != 0) {
        return false;
    }
    const int folderHandle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderHandle >= 0) {
        ::fsync(folderHandle);
        ::close(folderHandle);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: io_floor MANIFEST\n");
        return 2;
    }
    std::ifstream manifest(argv[1]);
    std::string line;
    std::vector<char> lyrics;
    std::vector<char> song;
    std::vector<char> output;
    long long readBytes = 0;
    long long writtenBytes = 0;
    int files = 0;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string lyricsPath;
        std::string songPath;
        std::size_t outputSize = 0;
        if (!std::getline(fields, lyricsPath, '\t') || !std::getline(fields, songPath, '\t') ||
            !(fields >> outputSize)) {
            continue;
        }
        if (!readWhole(songPath, song) || !readWhole(lyricsPath, lyrics)) {
            std::fprintf(stderr, "cannot read %s\n", lyricsPath.c_str());
            return 1;
        }
        // The same number of bytes as the run writes, taken from what was read.
        output.resize(outputSize);
        for (std::size_t i = 0; i < outputSize && !lyrics.empty(); i += lyrics.size()) {
            const std::size_t chunk = std::min(lyrics.size(), outputSize - i);
            std::copy(lyrics.begin(), lyrics.begin() + static_cast<std::ptrdiff_t>(chunk),
                      output.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if (!replaceAtomically(lyricsPath, output, files)) {
            std::fprintf(stderr, "cannot write %s\n", lyricsPath.c_str());
            return 1;
        }
        readBytes += static_cast<long long>(lyrics.size() + song.size());
        writtenBytes += static_cast<long long>(outputSize);
        ++files;
    }
    std::printf("files=%d read_bytes=%lld written_bytes=%lld\n", files, readBytes, writtenBytes);
    return 0;
}
