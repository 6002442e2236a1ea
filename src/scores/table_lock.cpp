#include "scores/table_lock.h"

#include <cerrno>
#include <ctime>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "scores/table_file.h"

namespace {

constexpr long long NS_PER_S = 1000000000LL;
constexpr long long WAIT_MAX_NS = 2 * NS_PER_S;
// A short sleep between tries: a save holds the lock for a few milliseconds,
// and a game saving over and over lets go only for a moment between saves.
constexpr long POLL_NS = 200000;

long long nowNs()
{
    timespec t {};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * NS_PER_S + t.tv_nsec;
}

// True when the open file is the one the name leads to now, so a file that was
// replaced while its lock was awaited is not mistaken for the table.
bool isFileAt(int fd, const std::string& path)
{
    struct stat open {}, named {};
    return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev
        && open.st_ino == named.st_ino;
}

} // namespace

TableLock::TableLock(const char* fileName, Kind kind) : target(tableTarget(fileName))
{
    struct stat st {};
    if (target.empty() || (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)))
        return; // a FIFO or a device in the table's place is never opened
    const int operation = kind == Kind::Exclusive ? LOCK_EX : LOCK_SH;
    const long long deadline = nowNs() + WAIT_MAX_NS;
    do {
        fd = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT && kind == Kind::Exclusive) {
            // Another game may make it at the same moment: then both open the one file.
            fd = ::open(target.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
            made = fd >= 0 && ::fchmod(fd, newTableMode()) == 0; // the umask must not freeze it
        }
        if (fd < 0)
            return; // no table to read, or one we may not read: nothing to guard
        wait(operation, deadline);
        if (isFileAt(fd, target))
            return;
        release(); // a save replaced the file while we waited: lock the new one
    } while (nowNs() < deadline);
}

TableLock::~TableLock()
{
    struct stat st {};
    if (made && isFileAt(fd, target) && ::fstat(fd, &st) == 0 && st.st_size == 0)
        ::unlink(target.c_str()); // no save took its place: no empty table stays
    release();
}

void TableLock::wait(int operation, long long deadlineNs) const
{
    const timespec pause {0, POLL_NS};
    while (::flock(fd, operation | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EINTR)
           && nowNs() < deadlineNs)
        ::nanosleep(&pause, nullptr);
}

void TableLock::release()
{
    if (fd >= 0)
        ::close(std::exchange(fd, -1));
    made = false;
}
