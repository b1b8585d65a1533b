#pragma once

#include <string>

// One catalogue row: a dictionary program and how to talk to it.
class CDictEntry
{
public:
    CDictEntry() = default;
    CDictEntry(std::u16string strName, std::u16string strEncoding, std::u16string strProgramUrl)
        : name(std::move(strName)), encoding(std::move(strEncoding)),
          programUrl(std::move(strProgramUrl))
    {
    }

    bool operator==(const CDictEntry&) const = default;

    std::u16string name;
    std::u16string encoding;
    std::u16string programUrl;
};
