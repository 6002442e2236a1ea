#pragma once

#include <string>

// A lock on the table's own file, held for the milliseconds of one read or one
// save, so that no game reads a table that another is rewriting in place and
// two saves never interleave. It is taken on the file the name leads to, so
// links share it, and nothing is ever left beside the table. A lock that
// cannot be had within two seconds (a stopped game may hold it), or on a file
// system without locks, is not held, and the read or save goes on without it.
class TableLock {
public:
    enum class Kind { Shared, Exclusive };

    // Takes the lock. An exclusive lock on a table that does not exist yet
    // makes it, empty and with a new table's mode, so that two first saves
    // still take turns; the save then writes it as it would any table of ours.
    TableLock(const char* fileName, Kind kind);
    // Removes the empty table it made if no save took its place, then lets go.
    ~TableLock();
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;

private:
    // Waits for the lock on the open file until it is had or the deadline
    // passes, and at once gives up where the file system has no locks.
    void wait(int operation, long long deadlineNs) const;
    // Lets go of the file, and of the lock with it.
    void release();

    std::string target;
    int fd = -1;
    bool made = false;
};
