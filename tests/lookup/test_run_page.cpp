// The lookup page without a browser engine behind it: filling its lists from
// the catalogues, and what it does when the browser control cannot be made.
#include "combo_box.h"
#include "dict_catalogue.h"
#include "message_box_recorder.h"
#include "property_sheet.h"
#include "run_dialog.h"
#include "web_browser.h"
#include "win_defs.h"

#include "qt_text.h"
#include "text_equality.h"
#include "wnd_platform.h"

#include <QComboBox>
#include <QWidget>

#include <gtest/gtest.h>

namespace
{

// A drop-down list of its own, outside any template.
struct ComboHost {
    ComboHost()
    {
        auto* pCombo = new QComboBox(&host);
        CWnd::SetDlgCtrlID(ToHandle(pCombo), 1007);
        hostWnd.Attach(ToHandle(&host));
        combo.SubclassDlgItem(1007, &hostWnd);
    }
    ~ComboHost()
    {
        combo.Detach();
        hostWnd.Detach();
    }
    QWidget host;
    CWnd hostWnd;
    CComboBox combo;
};

CDictCatalogue Catalogue(int nEntries, int32_t nSelection)
{
    CDictCatalogue catalogue(u"", u"", 0);
    for (int i = 0; i < nEntries; ++i)
        catalogue.AddEntry(CDictEntry(u"Sõnastik " + std::u16string(1, u'A' + i), u"utf8", u"x"));
    catalogue.selection = nSelection;
    return catalogue;
}

} // namespace

TEST(FillComboBox, ListsEveryEntryAndSettlesTheSelection)
{
    struct Case {
        int nEntries;
        int32_t nSelection;
        int32_t nSelectionAfter;
        int nCurrent;
    } cases[] = {
        {0, 0, -1, -1}, // an empty catalogue chooses nothing
        {3, -1, 0, 0},  // a catalogue with rows chooses the first
        {3, 2, 2, 2},   // the remembered choice
        {3, 7, 7, -1},  // a choice past the end is kept, and nothing is shown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nEntries << " entries, selection " << c.nSelection);
        ComboHost h;
        h.combo.AddString(u"left over");
        CDictCatalogue catalogue = Catalogue(c.nEntries, c.nSelection);
        catalogue.FillComboBox(h.combo);
        EXPECT_EQ(catalogue.selection, c.nSelectionAfter);
        EXPECT_EQ(h.combo.GetCurSel(), c.nCurrent);
        ASSERT_EQ(h.combo.GetCount(), c.nEntries);
        for (int i = 0; i < c.nEntries; ++i)
            EXPECT_EQ(h.combo.GetLBText(i), catalogue.GetEntry(i).name);
    }
}

TEST(FillComboBox, PreDictionaryListStartsWithTheBuiltInRow)
{
    ComboHost h;
    CDictCatalogue predicts(u"", u"", 1);
    predicts.AddEntry(CDictEntry(u"Eel", u"utf8", u"http://p/"));
    predicts.FillComboBox(h.combo);
    ASSERT_EQ(h.combo.GetCount(), 2);
    EXPECT_EQ(h.combo.GetLBText(0), QStringLiteral(" --- "));
    EXPECT_EQ(h.combo.GetCurSel(), 0);
}

TEST(RunPage, WithoutABrowserItSaysSoAndClosesTheWindow)
{
    // No browser class is registered in this program, so the template's
    // browser control cannot be made.
    CPropertySheet sheet(u"KV Quillbridge");
    CRunDialog page;
    sheet.AddPage(&page);
    MessageBoxRecorder boxes;
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Boxes()[0].strText, QStringLiteral("Viga IE initsialiseerimisel"));
    EXPECT_EQ(boxes.Boxes()[0].strCaption, QStringLiteral("Viga"));
    EXPECT_EQ(boxes.Boxes()[0].nType & MB_ICONMASK, static_cast<unsigned>(MB_ICONERROR));
}
