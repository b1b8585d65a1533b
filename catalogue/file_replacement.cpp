#include "file_replacement.h"

#include "disk_file.h"
#include "module_directory.h"

#include <cerrno>
#include <utility>

CFileReplacement::CFileReplacement(std::string strPath, std::string endMark)
    : m_strPath(std::move(strPath)), m_endMark(std::move(endMark))
{
}

CFileReplacement::~CFileReplacement()
{
    Discard();
}

std::string CFileReplacement::DirectoryOf(const std::string& strPath)
{
    const auto nSeparator = strPath.find_last_of(kPathSeparators);
    return nSeparator == std::string::npos ? std::string() : strPath.substr(0, nSeparator + 1);
}

bool CFileReplacement::IsTemporaryName(std::string_view name, std::string_view prefix)
{
    if (name.size() != prefix.size() + kTemporaryLetters || !name.starts_with(prefix))
        return false;
    for (const char c : name.substr(prefix.size())) {
        const bool bAlnum =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!bAlnum)
            return false;
    }
    return true;
}

void CFileReplacement::RemoveLeftoversBeside(const std::string& strTarget)
{
    const std::string strDir = DirectoryOf(strTarget);
    const std::string strPrefix = strTarget.substr(strDir.size()) + std::string(kTemporaryInfix);
    for (const std::string& strName : NamesIn(strDir)) {
        if (IsTemporaryName(strName, strPrefix))
            RemoveIfAbandoned(strDir + strName);
    }
}

void CFileReplacement::RemoveLeftovers(const std::string& strPath)
{
    if (const auto target = ResolveTarget(strPath))
        RemoveLeftoversBeside(*target);
}

bool CFileReplacement::Open(CDiskFile& file)
{
    const auto target = ResolveTarget(m_strPath);
    if (!target) {
        m_nError = ELOOP;
        return false;
    }
    m_strTarget = *target;
    RemoveLeftoversBeside(m_strTarget);

    const Status old = StatusOf(m_strTarget);
    if (old.bExists && !old.bRegular) {
        m_nError = old.bDirectory ? EISDIR : EINVAL;
        return false;
    }
    if (old.bReadOnly) {
        m_nError = EACCES;
        return false;
    }
    // Replacing the file would detach it from its other names.
    if (old.bExists && old.nLinks > 1)
        return OpenInPlace(file, &m_nError);

    m_nError = OpenTemporary(file, old.bExists);
    if (m_nError != 0) {
        // A folder the user may not write can still hold a file the user may.
        const bool bFolderRefused = m_nError == EACCES || m_nError == EPERM;
        return old.bExists && bFolderRefused && OpenInPlace(file, nullptr);
    }
    return true;
}

bool CFileReplacement::OpenInPlace(CDiskFile& file, int* pError)
{
    if (!file.Open(m_strTarget, CDiskFile::modeOverwrite, pError))
        return false;
    file.SetEndMark(m_endMark);
    return true;
}

bool CFileReplacement::Commit(CDiskFile& file)
{
    file.Close();
    if (m_strTemp.empty())
        return true;
    m_nError = ReplaceTarget();
    if (m_nError != 0)
        return false;
    m_strTemp.clear();
    return true;
}
