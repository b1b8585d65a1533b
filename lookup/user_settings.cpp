#include "user_settings.h"

#include "disk_file.h"
#include "file_lock.h"
#include "file_replacement.h"
#include "parameter_encoding.h"
#include "user_folders.h"
#include "utf_text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>

namespace
{

// Far more than any settings file of ours; the rest of a larger one is not read.
constexpr std::size_t kMaxFileBytes = 1024 * 1024;

// A key without a group.
const std::u16string kGeneral = u"General";

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

std::u16string_view Trimmed(std::u16string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Up to nMax digits of base nBase from text at nPos; nPos moves past them.
char16_t Digits(std::u16string_view text, std::size_t& nPos, int nBase, int nMax)
{
    unsigned nValue = 0;
    for (int i = 0; i < nMax && nPos < text.size(); ++i, ++nPos) {
        const int nDigit = HexDigitValue(text[nPos]);
        if (nDigit < 0 || nDigit >= nBase)
            break;
        nValue = nValue * nBase + nDigit;
    }
    return static_cast<char16_t>(nValue);
}

std::u16string Hex(unsigned nValue, int nWidth, bool bUpper)
{
    char sz[16];
    std::snprintf(sz, sizeof sz, bUpper ? "%0*X" : "%0*x", nWidth, nValue);
    return std::u16string(sz, sz + std::char_traits<char>::length(sz));
}

// Keys: "/" inside a name is "\", letters, digits, "_", "-" and "." are
// themselves, every other character %XX, or %UXXXX beyond Latin-1.
std::u16string EscapeKey(std::u16string_view key)
{
    std::u16string out;
    for (const char16_t c : key) {
        if (c == u'/')
            out += u'\\';
        else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
                 c == u'_' || c == u'-' || c == u'.')
            out += c;
        else if (c <= 0xFF)
            out.append(u"%").append(Hex(c, 2, true));
        else
            out.append(u"%U").append(Hex(c, 4, true));
    }
    return out;
}

std::u16string UnescapeKey(std::u16string_view key)
{
    std::u16string out;
    for (std::size_t i = 0; i < key.size();) {
        const char16_t c = key[i++];
        if (c == u'\\') {
            out += u'/';
        } else if (c == u'%' && i < key.size() && key[i] == u'U') {
            ++i;
            out += Digits(key, i, 16, 4);
        } else if (c == u'%') {
            out += Digits(key, i, 16, 2);
        } else {
            out += c;
        }
    }
    return out;
}

// Values: quoted when they hold ";", "," or "=" or begin or end with a space;
// control characters, quotes and backslashes escaped; a leading "@" doubled,
// since "@" starts a typed value.
std::u16string EscapeValue(std::u16string_view value)
{
    std::u16string out = value.starts_with(u'@') ? u"@" : u"";
    bool bQuote = false;
    bool bEscapeHexDigit = false; // the last was \x, which would take it in
    for (const char16_t c : value) {
        if (c == u';' || c == u',' || c == u'=')
            bQuote = true;
        if (bEscapeHexDigit && HexDigitValue(c) >= 0) {
            out += u"\\x" + Hex(c, 1, false);
            continue;
        }
        bEscapeHexDigit = false;
        static constexpr std::u16string_view kPlain = u"\a\b\f\n\r\t\v\"\\";
        static constexpr std::u16string_view kEscaped = u"abfnrtv\"\\";
        if (const auto n = kPlain.find(c); n != std::u16string_view::npos) {
            out += u'\\';
            out += kEscaped[n];
        } else if (c == 0) {
            out += u"\\0";
        } else if (c <= 0x1F || c == 0x7F) {
            out += u"\\x" + Hex(c, 1, false);
            bEscapeHexDigit = true;
        } else {
            out += c;
        }
    }
    if (bQuote || (!out.empty() && (out.front() == u' ' || out.back() == u' ')))
        out = u"\"" + out + u"\"";
    return out;
}

std::u16string UnescapeValue(std::u16string_view text)
{
    std::u16string out;
    std::size_t nKept = 0; // the end of what trailing blanks do not follow
    bool bQuoted = false;
    for (std::size_t i = 0; i < text.size();) {
        const char16_t c = text[i++];
        if (c == u'"') {
            bQuoted = !bQuoted;
            nKept = out.size();
            continue;
        }
        if (!bQuoted && c == u';')
            break;
        if (!bQuoted && IsBlank(c)) {
            if (!out.empty())
                out += c;
            continue;
        }
        if (c == u'\\' && i < text.size()) {
            const char16_t e = text[i++];
            static constexpr std::u16string_view kEscaped = u"abfnrtv";
            static constexpr std::u16string_view kPlain = u"\a\b\f\n\r\t\v";
            if (const auto n = kEscaped.find(e); n != std::u16string_view::npos)
                out += kPlain[n];
            else if (e == u'x')
                out += Digits(text, i, 16, 4);
            else if (e >= u'0' && e <= u'7')
                out += Digits(text, --i, 8, 3);
            else
                out += e;
        } else {
            out += c;
        }
        nKept = out.size();
    }
    out.resize(nKept);
    if (out.starts_with(u"@@"))
        out.erase(0, 1);
    return out;
}

// The group of a key and its name within it.
std::pair<std::u16string, std::u16string> SplitKey(const std::u16string& strKey)
{
    const auto nSlash = strKey.find(u'/');
    if (nSlash == std::u16string::npos)
        return {kGeneral, strKey};
    return {strKey.substr(0, nSlash), strKey.substr(nSlash + 1)};
}

std::string Narrow(std::u16string_view text)
{
    std::string out;
    for (const char16_t c : Trimmed(text))
        out += c < 0x80 ? static_cast<char>(c) : '\x7F';
    // "+5" is a number as much as "5" is.
    if (out.starts_with('+') && out.size() > 1 && out[1] != '-')
        out.erase(0, 1);
    return out;
}

} // namespace

CUserSettings::CUserSettings()
    : CUserSettings(CUserFolders::FilePath(CUserFolders::kindConfig, "settings.ini"))
{
}

CUserSettings::CUserSettings(std::string strPath) : m_strPath(std::move(strPath))
{
    ReadFile(m_values);
}

std::optional<std::u16string> CUserSettings::Value(const std::u16string& strKey) const
{
    const auto [strGroup, strName] = SplitKey(strKey);
    const auto group = m_values.find(strGroup);
    if (group == m_values.end())
        return std::nullopt;
    const auto value = group->second.find(strName);
    if (value == group->second.end())
        return std::nullopt;
    return value->second;
}

int CUserSettings::IntValue(const std::u16string& strKey, int nDefault) const
{
    const auto value = Value(strKey);
    if (!value)
        return nDefault;
    const std::string text = Narrow(*value);
    int nValue = 0;
    const auto [pEnd, error] = std::from_chars(text.data(), text.data() + text.size(), nValue);
    return error == std::errc() && pEnd == text.data() + text.size() && !text.empty() ? nValue
                                                                                      : nDefault;
}

bool CUserSettings::BoolValue(const std::u16string& strKey, bool bDefault) const
{
    const auto value = Value(strKey);
    if (!value)
        return bDefault;
    std::u16string lower = *value;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char16_t c) { return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c; });
    return !lower.empty() && lower != u"0" && lower != u"false";
}

std::optional<double> CUserSettings::DoubleValue(const std::u16string& strKey) const
{
    const auto value = Value(strKey);
    if (!value)
        return std::nullopt;
    const std::string text = Narrow(*value);
    double fValue = 0;
    const auto [pEnd, error] = std::from_chars(text.data(), text.data() + text.size(), fValue);
    if (error != std::errc() || pEnd != text.data() + text.size() || text.empty())
        return std::nullopt;
    return fValue;
}

void CUserSettings::SetValue(const std::u16string& strKey, const std::u16string& strValue)
{
    Change(strKey, strValue);
}

void CUserSettings::SetIntValue(const std::u16string& strKey, int nValue)
{
    const std::string text = std::to_string(nValue);
    Change(strKey, std::u16string(text.begin(), text.end()));
}

void CUserSettings::SetBoolValue(const std::u16string& strKey, bool bValue)
{
    Change(strKey, bValue ? u"true" : u"false");
}

void CUserSettings::SetDoubleValue(const std::u16string& strKey, double fValue)
{
    // The shortest text that reads back as the same number: 1.1, not 1.1000000000000001.
    char sz[64];
    const auto [pEnd, error] = std::to_chars(sz, sz + sizeof sz, fValue);
    Change(strKey, std::u16string(sz, error == std::errc() ? pEnd : sz));
}

void CUserSettings::Remove(const std::u16string& strKey)
{
    Change(strKey, std::nullopt);
}

void CUserSettings::Change(const std::u16string& strKey, const std::optional<std::u16string>& value)
{
    const auto apply = [&](Values& values) {
        const auto [strGroup, strName] = SplitKey(strKey);
        if (value) {
            values[strGroup][strName] = *value;
        } else if (const auto group = values.find(strGroup); group != values.end()) {
            group->second.erase(strName);
            if (group->second.empty())
                values.erase(group);
        }
    };
    apply(m_values);
    if (m_strPath.empty())
        return;
    if (CUserFolders::MakeFolderOf(m_strPath) != 0)
        return;
    // Not "settings.ini.lock": earlier versions kept a lock file of that name
    // only while they wrote, and take one that stays for a stale lock.
    const CFileLock lock(m_strPath + ".lck");
    // What another window saved meanwhile stays; a file that is there but
    // cannot be read is not replaced.
    Values values;
    if (!ReadFile(values))
        return;
    apply(values);
    try {
        const std::string text = Utf16ToUtf8(Format(values));
        CFileReplacement replacement(m_strPath);
        CDiskFile file;
        if (!replacement.Open(file))
            return;
        file.Write(text.data(), text.size());
        if (replacement.Commit(file))
            m_values = std::move(values);
    } catch (...) {
        // Not written: the value holds for this object, as said above.
    }
}

bool CUserSettings::ReadFile(Values& values) const
{
    values.clear();
    if (m_strPath.empty())
        return true;
    std::string bytes;
    try {
        CDiskFile file;
        int nError = 0;
        if (!file.Open(m_strPath, CDiskFile::modeRead, &nError))
            return nError == ENOENT;
        bytes.resize(std::min(file.GetLength(), kMaxFileBytes));
        bytes.resize(file.Read(bytes.data(), bytes.size()));
    } catch (...) {
        return false;
    }
    values = Parse(Utf8ToUtf16(bytes));
    return true;
}

CUserSettings::Values CUserSettings::Parse(const std::u16string& strText)
{
    Values values;
    std::u16string strGroup = kGeneral;
    std::size_t nStart = 0;
    while (nStart < strText.size()) {
        std::size_t nEnd = strText.find(u'\n', nStart);
        if (nEnd == std::u16string::npos)
            nEnd = strText.size();
        std::u16string_view line = std::u16string_view(strText).substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        if (line.ends_with(u'\r'))
            line.remove_suffix(1);
        line = Trimmed(line);
        if (line.empty() || line.front() == u';' || line.front() == u'#')
            continue;
        if (line.front() == u'[') {
            const auto nClose = line.find(u']');
            strGroup = UnescapeKey(line.substr(1, nClose == line.npos ? line.npos : nClose - 1));
            continue;
        }
        const auto nEquals = line.find(u'=');
        if (nEquals == line.npos)
            continue;
        const std::u16string strName = UnescapeKey(Trimmed(line.substr(0, nEquals)));
        if (!strName.empty() && !strGroup.empty())
            values[strGroup].emplace(strName, UnescapeValue(line.substr(nEquals + 1)));
    }
    return values;
}

std::u16string CUserSettings::Format(const Values& values)
{
    std::u16string text;
    for (const auto& [strGroup, names] : values) {
        if (!text.empty())
            text += u'\n';
        text.append(u"[").append(EscapeKey(strGroup)).append(u"]\n");
        for (const auto& [strName, strValue] : names)
            text += EscapeKey(strName) + u"=" + EscapeValue(strValue) + u"\n";
    }
    return text;
}
