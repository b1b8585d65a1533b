#include "windows_path.h"

#include "utf_text.h"

#include <cerrno>
#include <windows.h>

std::wstring WidePath(std::string_view strPath)
{
    const std::u16string path = Utf8ToUtf16(strPath);
    return std::wstring(path.begin(), path.end());
}

std::string Utf8Path(std::wstring_view path)
{
    return Utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(path.data()), path.size()));
}

int ErrnoFromWindowsError(unsigned long nError)
{
    switch (nError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return EINVAL;
    default:
        return EIO;
    }
}
