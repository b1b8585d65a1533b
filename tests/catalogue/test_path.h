#pragma once

#include <filesystem>
#include <random>
#include <string>

// A path in a test: what the catalogue takes (the system's own bytes, UTF-8
// on Windows) and what std::filesystem takes, from one value, so that the
// same test reads the same on both platforms.
class CTestPath
{
public:
    CTestPath() = default;
    explicit CTestPath(std::string strPath) : m_strPath(std::move(strPath)) {}

    // A new, empty folder of its own under the system's temporary folder.
    static CTestPath MakeTemporaryFolder(const std::string& strPrefix)
    {
        std::random_device random;
        for (;;) {
            const CTestPath path(Utf8(std::filesystem::temp_directory_path() /
                                      std::filesystem::path(strPrefix + std::to_string(random()))));
            if (std::filesystem::create_directory(path))
                return path;
        }
    }

    static std::string Utf8(const std::filesystem::path& path)
    {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    }

    CTestPath operator/(const std::string& strName) const
    {
        return CTestPath(
            Utf8(static_cast<std::filesystem::path>(*this) /
                 std::filesystem::path(std::u8string(strName.begin(), strName.end()))));
    }
    operator const std::string&() const { return m_strPath; }
    operator std::filesystem::path() const
    {
        return std::filesystem::path(std::u8string(m_strPath.begin(), m_strPath.end()));
    }
    const char* c_str() const { return m_strPath.c_str(); }

private:
    std::string m_strPath;
};
