#pragma once

#include "rect.h"
#include "size.h"
#include "text.h"

#include <algorithm>
#include <vector>

// One dialog template: caption, size and controls in dialog units, as kept in
// resources/dialogs.tpl.
class CDialogTemplate
{
public:
    struct Item {
        int nID = 0;
        CString strKind; // static, edit, combo, button, listview, control
        CRect rect;      // dialog units
        CString strText; // for "control" the class id
        std::vector<CString> styles;
        std::vector<CString> initItems; // combo box initialisation data

        bool HasStyle(std::u16string_view strStyle) const
        {
            return std::find(styles.begin(), styles.end(), strStyle) != styles.end();
        }
    };

    int m_nID = 0;
    CSize m_size; // dialog units
    CString m_strCaption;
    std::vector<CString> m_styles;
    std::vector<Item> m_items;

    bool HasStyle(std::u16string_view strStyle) const
    {
        return std::find(m_styles.begin(), m_styles.end(), strStyle) != m_styles.end();
    }
    const Item* FindItem(int nID) const;

    // The template with that id among those built into the program, or null.
    static const CDialogTemplate* Find(int nID);
    // Reads templates in the text form of dialogs.tpl; on a malformed line
    // returns false with the line number and reason in *pError.
    static bool Parse(const CString& strText, std::vector<CDialogTemplate>& templates,
                      CString* pError = nullptr);

    // Dialog units to pixels: x and width in quarters of the horizontal base
    // unit, y and height in eighths of the vertical one.
    static CRect MapDialogRect(const CRect& rect, const CSize& baseUnits);
};
