// The lock on a file that the program's writers take while they rewrite it in place or append to it,
// and that its readers wait for: a record lock of the open file over the whole file. A lock is waited
// for a few seconds at most, so that another program holding one cannot hold the program for good.
#pragma once

namespace morvell {

// How long a writer or reader waits for the lock before it gives up.
inline constexpr int kFileLockWaitMs = 10000;

// Takes the lock (`exclusive` for writing, else shared) on the open file `fd`, waiting at most
// `wait_ms`. True when it is held, or when the file system has no such locks; false when another
// holder kept it all that time.
bool lock_open_file(int fd, bool exclusive, int wait_ms = kFileLockWaitMs);

}  // namespace morvell
