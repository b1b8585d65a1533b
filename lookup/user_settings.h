#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <memory>
#include <string>

class QSettings;

// What the windows remember for their user from one run to the next, such as
// the main window's size or a browser's zoom: "settings.ini" in the user's
// config folder (moved there from the data folder where earlier versions kept
// it). The file is read when the
// object is made; SetValue writes it at once, whole, by replacing the old
// file. When it cannot be written the value holds for this object only and
// nobody is told: a window that forgets its size is no reason for a message.
// The file is the user's to edit, so a value read from it can be anything;
// callers check what they get.
class CUserSettings
{
public:
    CUserSettings();
    ~CUserSettings();
    CUserSettings(const CUserSettings&) = delete;
    CUserSettings& operator=(const CUserSettings&) = delete;

    // Keys are "group/name", e.g. "mainWindow/width".
    QVariant Value(const QString& strKey, const QVariant& defaultValue = QVariant()) const;
    // nDefault when the key is missing or does not hold a whole number.
    int IntValue(const QString& strKey, int nDefault) const;
    void SetValue(const QString& strKey, const QVariant& value);
    void Remove(const QString& strKey);

private:
    void Write();

    std::string m_strFolder; // the file's, made when it is first written
    std::unique_ptr<QSettings> m_pFile;
    // Stands in for the file when there is no data folder.
    QVariantMap m_values;
};
