// The user's settings file: read and written as Qt's settings files are, so
// that a file written before stays readable and Qt reads ours the same way.
#include "user_settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

QByteArray Contents(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

const QString kAwkward = QString::fromUtf8(" a, b; \"c\" õ\t\x01"
                                           "1\\@");

} // namespace

TEST(UserSettings, ReadsAndWritesTheFileAsQtDoesAndKeepsWhatOthersWrote)
{
    QTemporaryDir dir;
    const QString strQt = dir.filePath("qt.ini");
    const QString strOurs = dir.filePath("config/quillbridge/settings.ini");
    {
        QSettings qt(strQt, QSettings::IniFormat);
        qt.setValue("mainWindow/width", 812);
        qt.setValue("mainWindow/maximized", true);
        qt.setValue("lookupPage/zoom", 1.1);
        qt.setValue("helpPage/zoom", 0.33);
        qt.setValue("x/text", kAwkward);
        qt.setValue("x/at", "@x");
        qt.setValue("x/pair", "a,b");
        qt.setValue("x/K ey", QString::fromUtf8("Äõ"));
        qt.setValue("top", -5);
    }
    // What Qt wrote, read here.
    CUserSettings read(QFile::encodeName(strQt).toStdString());
    EXPECT_EQ(read.IntValue(u"mainWindow/width", 0), 812);
    EXPECT_TRUE(read.BoolValue(u"mainWindow/maximized", false));
    EXPECT_EQ(read.DoubleValue(u"lookupPage/zoom"), 1.1);
    EXPECT_EQ(read.DoubleValue(u"helpPage/zoom"), 0.33);
    EXPECT_EQ(read.Value(u"x/text"), kAwkward.toStdU16String());
    EXPECT_EQ(read.Value(u"x/at"), u"@x");
    EXPECT_EQ(read.Value(u"x/pair"), u"a,b");
    EXPECT_EQ(read.Value(u"x/K ey"), u"Äõ");
    EXPECT_EQ(read.IntValue(u"top", 0), -5);
    EXPECT_FALSE(read.Value(u"mainWindow/height"));
    EXPECT_EQ(read.IntValue(u"mainWindow/height", 7), 7);

    // The same values written here make the same file, byte for byte, in a
    // folder made on the way; a second window's value is kept beside them.
    CUserSettings ours(QFile::encodeName(strOurs).toStdString());
    CUserSettings other(QFile::encodeName(strOurs).toStdString());
    ours.SetIntValue(u"mainWindow/width", 812);
    ours.SetBoolValue(u"mainWindow/maximized", true);
    other.SetDoubleValue(u"lookupPage/zoom", 1.1);
    ours.SetDoubleValue(u"helpPage/zoom", 0.33);
    ours.SetValue(u"x/text", kAwkward.toStdU16String());
    ours.SetValue(u"x/at", u"@x");
    ours.SetValue(u"x/pair", u"a,b");
    other.SetValue(u"x/K ey", u"Äõ");
    ours.SetIntValue(u"top", -5);
    ours.SetIntValue(u"gone", 1);
    ours.Remove(u"gone");
    EXPECT_EQ(Contents(strOurs), Contents(strQt));
    EXPECT_EQ(ours.DoubleValue(u"lookupPage/zoom"), 1.1) << "read back with the change";

    // A file edited by hand: what is not a value of the kind asked for gives
    // the default, and nothing in it stops the rest from being read.
    QFile edited(strOurs);
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly | QIODevice::Truncate));
    edited.write("; a note\r\n[mainWindow]\r\nwidth = 1e3\r\nheight=+640 ; the old one\r\n"
                 "garbage line\nmaximized=\"no\"\n[\n[lookupPage]\nzoom=1,5\n"
                 "[helpPage]\nzoom=  2.5  \n[General]\ntop=99999999999\n");
    edited.close();
    CUserSettings hand(QFile::encodeName(strOurs).toStdString());
    EXPECT_EQ(hand.IntValue(u"mainWindow/width", 3), 3);
    EXPECT_EQ(hand.IntValue(u"mainWindow/height", 3), 640);
    EXPECT_TRUE(hand.BoolValue(u"mainWindow/maximized", false)) << "only 0 and false are false";
    EXPECT_FALSE(hand.DoubleValue(u"lookupPage/zoom"));
    EXPECT_EQ(hand.DoubleValue(u"helpPage/zoom"), 2.5);
    EXPECT_EQ(hand.IntValue(u"top", 3), 3);

    // Where the file cannot be written, a value holds for the object only.
    const QString strBlocked = dir.filePath("blocked");
    ASSERT_TRUE(QDir().mkpath(strBlocked + "/settings.ini"));
    CUserSettings blocked(QFile::encodeName(strBlocked + "/settings.ini").toStdString());
    blocked.SetIntValue(u"mainWindow/width", 5);
    EXPECT_EQ(blocked.IntValue(u"mainWindow/width", 0), 5);
    EXPECT_EQ(CUserSettings(QFile::encodeName(strBlocked + "/settings.ini").toStdString())
                  .IntValue(u"mainWindow/width", 0),
              0);
}
