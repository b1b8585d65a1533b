// quillbridge-kvd: look into catalogue files and build the lists the maker publishes.
#include "kvd_main.h"

#include "dict_catalogue.h"
#include "disk_file.h"
#include "file_exception.h"
#include "parameter_encoding.h"
#include "query_composition.h"
#include "utf_text.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace
{

constexpr const char* kUsage =
    "usage:\n"
    "  quillbridge-kvd dump FILE\n"
    "      print the selection and the entries of a catalogue file\n"
    "  quillbridge-kvd build [--selection N] TSV OUT\n"
    "      write OUT as a catalogue file from TSV lines: name, encoding, program address\n"
    "      (lines starting with # are comments)\n"
    "  quillbridge-kvd escape ENCODING TEXT\n"
    "      print TEXT escaped in ENCODING (utf8, baltic, western)\n"
    "  quillbridge-kvd url WORD DICT_ENCODING DICT_URL [PREDICT_ENCODING PREDICT_URL]\n"
    "      print the lookup address of WORD, directly or through a pre-dictionary\n"
    "  quillbridge-kvd --help\n";

int Usage()
{
    std::cerr << kUsage;
    return 2;
}

std::string Out(const std::u16string& str)
{
    return Utf16ToUtf8(str);
}

int Dump(const std::string& strPath)
{
    CDictCatalogue catalogue(u"", u"", 0);
    if (catalogue.LoadFile(strPath) != 0) {
        std::cerr << "quillbridge-kvd: " << strPath
                  << ": cannot be opened or is shorter than 4 bytes\n";
        return 1;
    }
    std::cout << "selection " << catalogue.selection << '\n';
    for (const CDictEntry& entry : catalogue.entries)
        std::cout << Out(entry.name) << '\t' << Out(entry.encoding) << '\t' << Out(entry.programUrl)
                  << '\n';
    return 0;
}

std::vector<std::string> SplitTabs(const std::string& strLine)
{
    std::vector<std::string> fields;
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nTab = strLine.find('\t', nStart);
        fields.push_back(strLine.substr(nStart, nTab - nStart));
        if (nTab == std::string::npos)
            return fields;
        nStart = nTab + 1;
    }
}

// The whole file, through the same wide-character opening as the catalogues;
// no value when it cannot be opened.
std::optional<std::string> ReadWhole(const std::string& strPath)
{
    CDiskFile file;
    if (!file.Open(strPath, CDiskFile::modeRead))
        return std::nullopt;
    std::string text;
    char buffer[64 * 1024];
    for (std::size_t n; (n = file.Read(buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    return text;
}

int Build(int32_t nSelection, const std::string& strTsv, const std::string& strOut)
{
    std::optional<std::string> text;
    try {
        text = ReadWhole(strTsv);
    } catch (const CFileException&) {
        text.reset();
    }
    if (!text) {
        std::cerr << "quillbridge-kvd: " << strTsv << ": cannot be opened\n";
        return 1;
    }
    std::istringstream in(*text);
    CDictCatalogue catalogue(u"", u"", 0);
    catalogue.selection = nSelection;
    std::string strLine;
    for (int nLine = 1; std::getline(in, strLine); ++nLine) {
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        // Blank lines and lines from "#" on are notes for whoever keeps the list.
        if (strLine.empty() || strLine.front() == '#')
            continue;
        const std::vector<std::string> fields = SplitTabs(strLine);
        if (fields.size() != 3) {
            std::cerr << "quillbridge-kvd: " << strTsv << ": line " << nLine << ": "
                      << fields.size() << " fields, expected 3\n";
            return 2;
        }
        for (const std::string& field : fields) {
            if (field.empty()) {
                std::cerr << "quillbridge-kvd: " << strTsv << ": line " << nLine
                          << ": empty field\n";
                return 2;
            }
        }
        catalogue.AddEntry(
            CDictEntry(Utf8ToUtf16(fields[0]), Utf8ToUtf16(fields[1]), Utf8ToUtf16(fields[2])));
    }
    if (catalogue.SaveFile(strOut) != 0) {
        std::cerr << "quillbridge-kvd: " << strOut << ": cannot be written\n";
        return 1;
    }
    return 0;
}

int Url(const std::vector<std::u16string>& args)
{
    CDictCatalogue dicts(u"", u"", 0);
    dicts.AddEntry(CDictEntry(u"dict", args[1], args[2]));
    CDictCatalogue predicts(u"", u"", 1);
    int nPredict = 0;
    if (args.size() == 5)
        nPredict = predicts.AddEntry(CDictEntry(u"predict", args[3], args[4]));
    const auto url = ComposeLookupUrl(args[0], dicts, 0, predicts, nPredict);
    if (!url) {
        std::cerr << "input missing\n";
        return 1;
    }
    std::cout << Out(*url) << '\n';
    return 0;
}

bool ParseSelection(const char* psz, int32_t& nValue)
{
    const char* pEnd = psz + std::strlen(psz);
    const auto [p, ec] = std::from_chars(psz, pEnd, nValue);
    return ec == std::errc() && p == pEnd && p != psz;
}

} // namespace

int KvdMain(std::vector<std::string> args)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return 0;
    }
    if (args.empty())
        return Usage();
    const std::string strCommand = args[0];
    args.erase(args.begin());

    if (strCommand == "dump" && args.size() == 1)
        return Dump(args[0]);
    if (strCommand == "build") {
        int32_t nSelection = 0;
        if (args.size() == 4 && args[0] == "--selection") {
            if (!ParseSelection(args[1].c_str(), nSelection))
                return Usage();
            args.erase(args.begin(), args.begin() + 2);
        }
        if (args.size() == 2)
            return Build(nSelection, args[0], args[1]);
        return Usage();
    }
    if (strCommand == "escape" && args.size() == 2) {
        std::cout << Out(EscapeParameter(Utf8ToUtf16(args[1]), Utf8ToUtf16(args[0]))) << '\n';
        return 0;
    }
    if (strCommand == "url" && (args.size() == 3 || args.size() == 5)) {
        std::vector<std::u16string> wide;
        for (const std::string& arg : args)
            wide.push_back(Utf8ToUtf16(arg));
        return Url(wide);
    }
    return Usage();
}
