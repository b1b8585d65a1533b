#include "user_settings.h"

#include "user_folders.h"

#include <QFile>
#include <QSettings>

CUserSettings::CUserSettings()
{
    const std::string strPath = CUserFolders::FilePath(CUserFolders::kindConfig, "settings.ini");
    if (strPath.empty())
        return;
    m_strFolder = strPath.substr(0, strPath.rfind('/') + 1);
    m_pFile = std::make_unique<QSettings>(QFile::decodeName(QByteArray::fromStdString(strPath)),
                                          QSettings::IniFormat);
}

CUserSettings::~CUserSettings() = default;

QVariant CUserSettings::Value(const QString& strKey, const QVariant& defaultValue) const
{
    if (!m_pFile)
        return m_values.value(strKey, defaultValue);
    return m_pFile->value(strKey, defaultValue);
}

int CUserSettings::IntValue(const QString& strKey, int nDefault) const
{
    bool bOk = false;
    const int nValue = Value(strKey).toString().trimmed().toInt(&bOk);
    return bOk ? nValue : nDefault;
}

void CUserSettings::SetValue(const QString& strKey, const QVariant& value)
{
    if (!m_pFile) {
        m_values.insert(strKey, value);
        return;
    }
    m_pFile->setValue(strKey, value);
    Write();
}

void CUserSettings::Remove(const QString& strKey)
{
    if (!m_pFile) {
        m_values.remove(strKey);
        return;
    }
    m_pFile->remove(strKey);
    Write();
}

void CUserSettings::Write()
{
    // QSettings writes through a temporary file that replaces the old one,
    // so a crash midway leaves the previous settings whole. A failure only
    // shows in its status, which nobody needs to hear about.
    if (CUserFolders::Make(m_strFolder) == 0)
        m_pFile->sync();
}
