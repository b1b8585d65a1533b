#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QWidget;

// One dialog template: caption, size and controls in dialog units, as kept in
// resources/dialogs.tpl. Builds the widgets of its controls.
class CDialogTemplate
{
public:
    struct Item {
        int nID = 0;
        QString strKind; // static, edit, combo, button, listview, control
        QRect rect;      // dialog units
        QString strText; // for "control" the class id
        QStringList styles;
        QStringList initItems; // combo box initialisation data

        bool HasStyle(const QString& strStyle) const { return styles.contains(strStyle); }
    };

    int m_nID = 0;
    QSize m_size; // dialog units
    QString m_strCaption;
    QStringList m_styles;
    std::vector<Item> m_items;

    bool HasStyle(const QString& strStyle) const { return m_styles.contains(strStyle); }
    const Item* FindItem(int nID) const;

    // The template with that id among those built into the program, or null.
    static const CDialogTemplate* Find(int nID);
    // Reads templates in the text form of dialogs.tpl; on a malformed line
    // returns false with the line number and reason in *pError.
    static bool Parse(const QString& strText, std::vector<CDialogTemplate>& templates,
                      QString* pError = nullptr);

    // The font of every dialog: a sans-serif 8 pt standing in for "MS Sans Serif" 8.
    static QFont DialogFont();
    // Horizontal and vertical base units of a font: its average character
    // width and its height, in pixels.
    static QSize GetBaseUnits(const QFont& font);
    // Dialog units to pixels: x and width in quarters of the horizontal base
    // unit, y and height in eighths of the vertical one.
    static QRect MapDialogRect(const QRect& rect, const QSize& baseUnits);
    QSize GetPixelSize(const QFont& font) const;

    // Creates the widgets of the controls as children of pHost, in tab order,
    // each named "ctl<id>" ("static<n>" for id -1, n its place in the
    // template) and carrying its id. An ActiveX control is made by the
    // factory registered for its class id; without one it is left out.
    void CreateControls(QWidget* pHost) const;

    using ControlFactory = std::function<QWidget*(QWidget* pParent)>;
    static void RegisterControlClass(const QString& strClassId, ControlFactory factory);

    static QString ControlName(int nID, int nIndex);
};
