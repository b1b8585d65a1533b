#include "save_failure.h"

// Windows reports a user's disk quota used up as a full disk (ERROR_DISK_FULL),
// which the catalogue's errno is already (ENOSPC): no number of its own.
bool CSaveFailure::IsOutOfQuota(int)
{
    return false;
}
