#pragma once

#include "dialog_template.h"

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class QWidget;

// The widgets of a dialog template's controls, at the template's places.
class CDialogControls
{
public:
    // The font of every dialog: a sans-serif 8 pt standing in for "MS Sans Serif" 8.
    static QFont DialogFont();
    // Horizontal and vertical base units of a font: its average character
    // width and its height, in pixels.
    static QSize GetBaseUnits(const QFont& font);
    // Dialog units to pixels, with the given base units.
    static QRect MapDialogRect(const CRect& rect, const QSize& baseUnits);
    static QSize GetPixelSize(const CDialogTemplate& dlg, const QFont& font);

    // Creates the widgets of the controls as children of pHost, in tab order,
    // each named "ctl<id>" ("static<n>" for id -1, n its place in the
    // template) and carrying its id. An ActiveX control is made by the
    // factory registered for its class id; without one it is left out.
    static void Create(const CDialogTemplate& dlg, QWidget* pHost);

    using ControlFactory = std::function<QWidget*(QWidget* pParent)>;
    static void RegisterControlClass(const QString& strClassId, ControlFactory factory);

    static QString ControlName(int nID, int nIndex);
};
