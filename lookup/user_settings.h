#pragma once

#include <map>
#include <optional>
#include <string>

// What the windows remember for their user from one run to the next, such as
// the main window's size or a browser's zoom: "settings.ini" in the user's
// config folder (moved there from the data folder where earlier versions kept
// it), one "[group]" of "name=value" lines for each group of keys, as Qt's
// settings files are written. The file is read when the object is made; each
// change is made under a lock to the file as it is then and the file replaced
// whole, so windows side by side keep each other's values. When it cannot be
// written the value holds for this object only and nobody is told: a window
// that forgets its size is no reason for a message. The file is the user's to
// edit, so a value read from it can be anything; callers check what they get.
class CUserSettings
{
public:
    CUserSettings();
    // The settings of the file at strPath, in the system's own bytes; empty
    // keeps them in this object only.
    explicit CUserSettings(std::string strPath);
    CUserSettings(const CUserSettings&) = delete;
    CUserSettings& operator=(const CUserSettings&) = delete;

    // Keys are "group/name", e.g. u"mainWindow/width"; a key without a group
    // is the file's "[General]" one.
    std::optional<std::u16string> Value(const std::u16string& strKey) const;
    // nDefault when the key is missing or does not hold a whole number.
    int IntValue(const std::u16string& strKey, int nDefault) const;
    // Missing, empty, "0" and "false" (in any case) are false, anything else true.
    bool BoolValue(const std::u16string& strKey, bool bDefault) const;
    // Empty when the key is missing or does not hold a number.
    std::optional<double> DoubleValue(const std::u16string& strKey) const;

    void SetValue(const std::u16string& strKey, const std::u16string& strValue);
    void SetIntValue(const std::u16string& strKey, int nValue);
    void SetBoolValue(const std::u16string& strKey, bool bValue);
    void SetDoubleValue(const std::u16string& strKey, double fValue);
    void Remove(const std::u16string& strKey);

private:
    // Group, then name within it, as the file holds them.
    using Values = std::map<std::u16string, std::map<std::u16string, std::u16string>>;
    static Values Parse(const std::u16string& strText);
    static std::u16string Format(const Values& values);
    bool ReadFile(Values& values) const;
    // Makes the change to the file as it is now, or to this object's values
    // when the file cannot be written.
    void Change(const std::u16string& strKey, const std::optional<std::u16string>& value);

    std::string m_strPath;
    Values m_values;
};
