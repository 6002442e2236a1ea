#include "scores/table_file.h"

#include <allegro.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int LINK_HOPS_MAX = 40;            // as many as the kernel follows
constexpr int TEMP_ATTEMPTS = 64;
constexpr std::size_t RAW_BYTES_MAX = 65536; // a packed table is far smaller
constexpr int READ_MAX = HIGH_SCORE_FILE_BYTES + 1;
const char* const TEMP_MARK = ".tmp-";
const char* const DIGITS = "0123456789";

// The folder part of a path with its slash; empty for a bare name.
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

// Follows the links hop by hop, as the kernel would.
std::string tableTarget(const char* fileName)
{
    std::string path = fileName;
    for (int hop = 0; hop < LINK_HOPS_MAX; ++hop) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
        if (n < 0)
            return path; // not a link: the file itself, or no file yet
        target[n] = '\0';
        path = target[0] == '/' ? std::string(target) : folderOf(path) + target;
    }
    return std::string();
}

// Reads the umask without changing it.
mode_t newTableMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return (0666 & ~mask) | S_IRUSR | S_IWUSR;
}

namespace {

// Reads up to one byte more than a table through the packed reader; the count, or -1.
long readPacked(const char* path, unsigned char (&buffer)[READ_MAX])
{
    PACKFILE* f = pack_fopen(path, "rp");
    if (f == nullptr)
        return -1;
    const long got = pack_fread(buffer, READ_MAX, f);
    pack_fclose(f);
    return got;
}

// True when the file reads back through the packed reader as exactly this table.
bool readsBackAs(const char* path, const TablePayload& payload)
{
    unsigned char back[READ_MAX];
    return readPacked(path, back) == HIGH_SCORE_FILE_BYTES
        && std::memcmp(back, payload.data(), HIGH_SCORE_FILE_BYTES) == 0;
}

// True when every name holds only name characters up to its NUL or its
// fifteenth character, where reading it stops.
bool namesAreTyped(const unsigned char* payload)
{
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i) {
        const unsigned char* name = payload + i * HIGH_SCORE_ENTRY_BYTES;
        for (int b = 0; b < HIGH_SCORE_NAME_MAX && name[b] != '\0'; ++b)
            if (!isNameCharacter(name[b]))
                return false;
    }
    return true;
}

// Writes the table through the library's packed writer. It reports no failed
// write, so every caller reads the file back instead of trusting it.
void writePacked(const char* path, const TablePayload& payload)
{
    PACKFILE* f = pack_fopen(path, "wp");
    if (f == nullptr)
        return;
    pack_fwrite(payload.data(), HIGH_SCORE_FILE_BYTES, f);
    pack_fclose(f);
}

// Forces a file's or a folder's content to the disk.
bool syncPath(const std::string& path, int flags = O_RDONLY)
{
    const int fd = ::open(path.empty() ? "." : path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// How a table already on disk is saved.
enum class SaveWay { Leave, Replace, InPlace };

// A frozen table (its owner's write bit off, whoever plays), one we cannot read
// and one that is not a regular file are left alone. A table of another user
// or group, or with more links than its name, is rewritten in place when we
// may write it, since a new file would take it from its owner or group or
// split its links; any other table is replaced.
SaveWay saveWayFor(const std::string& path, const struct stat& st)
{
    if (!S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR) == 0
        || ::faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) != 0)
        return SaveWay::Leave;
    if (st.st_uid == ::geteuid() && st.st_gid == ::getegid() && st.st_nlink == 1)
        return SaveWay::Replace;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 ? SaveWay::InPlace : SaveWay::Leave;
}

// True for "<table>.tmp-<pid>-<n>" when no process <pid> is left, or when it
// is ours: no save of ours is under way while this is asked.
bool isStaleTemp(const char* name, const std::string& prefix)
{
    if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0)
        return false;
    const char* pid = name + prefix.size();
    const std::size_t pidDigits = std::strspn(pid, DIGITS);
    if (pidDigits == 0 || pidDigits > 9 || pid[pidDigits] != '-')
        return false;
    const char* count = pid + pidDigits + 1;
    const std::size_t countDigits = std::strspn(count, DIGITS);
    if (countDigits == 0 || count[countDigits] != '\0')
        return false;
    const pid_t owner = static_cast<pid_t>(std::atol(pid));
    return owner == ::getpid() || (owner > 0 && ::kill(owner, 0) != 0 && errno == ESRCH);
}

// Removes the temporary files that runs which are gone left beside the table.
void removeStaleTemps(const std::string& target)
{
    const std::string folder = folderOf(target);
    const std::string prefix = target.substr(folder.size()) + TEMP_MARK;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st;
        if (isStaleTemp(entry->d_name, prefix)
            && ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(st.st_mode))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// Creates a new, empty file beside the target; -1 with errno set when none can
// be made. The mode is set again after the umask, because the packed writer
// opens the file anew by its name and must be let in.
int createTemp(const std::string& target, std::string& temp)
{
    const std::string base = target + TEMP_MARK + std::to_string(::getpid()) + "-";
    for (int n = 0; n < TEMP_ATTEMPTS; ++n) {
        temp = base + std::to_string(n);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
        if (fd >= 0) {
            ::fchmod(fd, S_IRUSR | S_IWUSR);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

// Reads a small file whole, exactly as it is on disk.
bool readRaw(const std::string& path, std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0 && bytes.size() <= RAW_BYTES_MAX)
        bytes.append(chunk, static_cast<std::size_t>(n));
    ::close(fd);
    return n == 0;
}

// Puts a file's old bytes back after a rewrite that did not read back.
void restoreRaw(const std::string& path, const std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return;
    std::size_t done = 0;
    ssize_t n = 0;
    while (done < bytes.size() && (n = ::write(fd, bytes.data() + done, bytes.size() - done)) > 0)
        done += static_cast<std::size_t>(n);
    ::fsync(fd);
    ::close(fd);
}

// For a table that must keep its file, or a folder that admits no new file:
// the table is written again into its own file and read back, and its old
// bytes, kept in memory, are put back if the new content does not read back.
bool rewriteInPlace(const std::string& path, const TablePayload& payload)
{
    std::string old;
    if (!readRaw(path, old))
        return false;
    writePacked(path.c_str(), payload);
    if (syncPath(path) && readsBackAs(path.c_str(), payload))
        return true;
    restoreRaw(path, old);
    return false;
}

} // namespace

// Takes the table only from a regular file, so that a FIFO cannot block, and
// only when it holds exactly one table and its names are names.
bool readTableFile(const char* fileName, TablePayload& payload)
{
    struct stat st;
    if (::stat(fileName, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    unsigned char buffer[READ_MAX];
    if (readPacked(fileName, buffer) != HIGH_SCORE_FILE_BYTES || !namesAreTyped(buffer))
        return false;
    std::memcpy(payload.data(), buffer, HIGH_SCORE_FILE_BYTES);
    return true;
}

// Writes a temporary file beside the real target, reads it back, gives it the
// old file's mode and renames it over the target; the folder is synced last.
// A table that must keep its file is rewritten in place instead.
bool writeTableFile(const char* fileName, const TablePayload& payload)
{
    const std::string target = tableTarget(fileName);
    if (target.empty())
        return false;
    struct stat old;
    const bool exists = ::lstat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return false;
    const SaveWay way = exists ? saveWayFor(target, old) : SaveWay::Replace;
    if (way == SaveWay::Leave)
        return false;
    removeStaleTemps(target);
    if (way == SaveWay::InPlace)
        return rewriteInPlace(target, payload);

    std::string temp;
    const int fd = createTemp(target, temp);
    if (fd < 0)
        return exists && (errno == EACCES || errno == EPERM) && rewriteInPlace(target, payload);
    writePacked(temp.c_str(), payload);
    bool done = ::fsync(fd) == 0 && readsBackAs(temp.c_str(), payload);
    // A folder that hands its group to new files must not change the table's.
    if (done && exists)
        done = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
    done = done && ::fchmod(fd, exists ? (old.st_mode & 07777) : newTableMode()) == 0;
    done = ::close(fd) == 0 && done;
    if (!done || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    syncPath(folderOf(target), O_RDONLY | O_DIRECTORY);
    return true;
}
