#include "dict_catalogue.h"

#include "disk_file.h"
#include "file_exception.h"
#include "file_replacement.h"
#include "module_directory.h"
#include "utf_text.h"

// Constructed before every ordinary static object, so that the application
// object finds them ready, and destroyed after it.
__attribute__((init_priority(200))) CDictCatalogue g_dictCatalogue(u"Sõnastikud", u"dict.kvd", 0);
__attribute__((init_priority(200)))
CDictCatalogue g_predictCatalogue(u"Eelsõnastikud", u"predict.kvd", 1);

namespace
{

// The written form of a string: its units up to the first NUL.
std::u16string_view StoredForm(const std::u16string& str)
{
    const std::u16string_view view(str);
    return view.substr(0, view.find(u'\0'));
}

// Reads one NUL-terminated UTF-16LE string; a stream that ends inside it raises.
std::u16string ReadString(CFile& file)
{
    std::u16string str;
    for (;;) {
        unsigned char unit[2];
        if (file.Read(unit, 2) != 2)
            throw CFileException(CFileException::generic, -1);
        const char16_t c = static_cast<char16_t>(unit[0] | (unit[1] << 8));
        if (c == 0)
            return str;
        str.push_back(c);
    }
}

void AppendString(std::string& bytes, std::u16string_view str)
{
    for (const char16_t c : str) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    bytes.append(2, '\0');
}

} // namespace

CDictCatalogue::CDictCatalogue(std::u16string strTitle, std::u16string strFileName,
                               int32_t nFixedCount)
    : title(std::move(strTitle)), fileName(std::move(strFileName)), fixedCount(nFixedCount)
{
    Reset();
}

void CDictCatalogue::Reset()
{
    std::vector<CDictEntry>().swap(entries);
    if (fixedCount != 0)
        AddEntry(CDictEntry(u" --- ", u"utf8", u""));
}

int CDictCatalogue::AddEntry(const CDictEntry& entry)
{
    entries.push_back(entry);
    return GetCount() - 1;
}

std::u16string CDictCatalogue::GetFilePath() const
{
    return Utf8ToUtf16(GetDiskPath());
}

std::string CDictCatalogue::GetDiskPath() const
{
    return ModuleDirectory() + Utf16ToUtf8(fileName);
}

int CDictCatalogue::Load()
{
    try {
        return LoadFile(GetDiskPath());
    } catch (...) {
        return 0;
    }
}

int CDictCatalogue::Save()
{
    try {
        return SaveFile(GetDiskPath());
    } catch (...) {
        return -1;
    }
}

int CDictCatalogue::LoadFile(const std::string& strPath)
{
    // Whatever goes wrong after the file opened keeps the records read so far.
    try {
        Reset();
        CFileReplacement::RemoveLeftovers(strPath);
        CDiskFile file;
        if (!file.Open(strPath, CDiskFile::modeRead))
            return -1;
        return ReadFrom(file);
    } catch (...) {
        return 0;
    }
}

int CDictCatalogue::SaveFile(const std::string& strPath)
{
    try {
        CFileReplacement replacement(strPath);
        CDiskFile file;
        if (!replacement.Open(file))
            return -1;
        WriteTo(file);
        return replacement.Commit(file) ? 0 : -1;
    } catch (...) {
        return -1;
    }
}

int CDictCatalogue::ReadFrom(CFile& file)
{
    // A short header replaces only the bytes it delivered, lowest first.
    unsigned char header[4];
    const std::size_t nHeader = file.Read(header, 4);
    uint32_t value = static_cast<uint32_t>(selection);
    for (std::size_t i = 0; i < nHeader && i < 4; ++i)
        value = (value & ~(0xFFu << (8 * i))) | (static_cast<uint32_t>(header[i]) << (8 * i));
    selection = static_cast<int32_t>(value);
    if (nHeader != 4)
        return -1;

    for (;;) {
        std::u16string strName = ReadString(file);
        std::u16string strEncoding = ReadString(file);
        std::u16string strProgramUrl = ReadString(file);
        if (strName.empty() || strEncoding.empty() || strProgramUrl.empty())
            return 0;
        AddEntry(CDictEntry(std::move(strName), std::move(strEncoding), std::move(strProgramUrl)));
    }
}

int CDictCatalogue::WriteTo(CFile& file)
{
    std::string bytes;
    const auto nSelection = static_cast<uint32_t>(selection);
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>((nSelection >> (8 * i)) & 0xFF));
    for (int i = fixedCount; i < GetCount(); ++i) {
        const CDictEntry& entry = GetEntry(i);
        const auto name = StoredForm(entry.name);
        const auto encoding = StoredForm(entry.encoding);
        const auto programUrl = StoredForm(entry.programUrl);
        // The reader ends the list at an empty field, which would drop this
        // entry and every one after it; such an entry is left out instead.
        if (name.empty() || encoding.empty() || programUrl.empty())
            continue;
        AppendString(bytes, name);
        AppendString(bytes, encoding);
        AppendString(bytes, programUrl);
    }
    file.Write(bytes.data(), bytes.size());
    return 0;
}
