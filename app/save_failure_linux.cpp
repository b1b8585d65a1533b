#include "save_failure.h"

#include <cerrno>

bool CSaveFailure::IsOutOfQuota(int nError)
{
    return nError == EDQUOT;
}
