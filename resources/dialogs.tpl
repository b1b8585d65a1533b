# Dialog templates of Quillbridge.
#
# Positions and sizes are in dialog units of the dialog font, "MS Sans Serif" 8
# (played by a sans-serif 8 pt): a horizontal unit is a quarter of the font's
# average character width, a vertical unit an eighth of its height.
#
#   dialog <id> <width> <height> "<caption>" <style>...
#     <id> <kind> <x> <y> <width> <height> "<text>" <style>...
#     items <control id> "<text>"...      initialisation data of a combo box
#   end
#
# Controls are listed in tab order; id -1 marks a static nobody addresses.
# Kinds and their styles:
#   static    left (default), right, center, group
#   edit      border, autohscroll
#   combo     dropdownlist, vscroll (the height includes the dropped list)
#   button    default
#   listview  report, singlesel, showselalways, border
#   control   an ActiveX control, its text being the class id
# Any control may also carry tabstop, disabled, hidden, and, on a page, how it
# follows a window made larger than the template: stretchx, stretchy (its right
# or bottom edge goes with the page's), movex, movey (the whole control does).
# Dialog styles: child, popup, caption, sysmenu, modalframe, border, visible.

# Lookup page "Päring".
dialog 129 300 225 "Päring" child
  -1   static     7   7  19   8 "Sõna:"        right
  1002 edit      31   7  93  12 ""             border autohscroll tabstop
  -1   static   140   7  29   8 "Sõnastik:"    right
  1007 combo    175   7 118 162 ""             dropdownlist vscroll tabstop stretchx
  1012 static     7  25  65  19 ""
  1004 button    74  25  50  12 "Vaata"        default tabstop
  -1   static   131  25  38   8 "Eelsõnastik:" right
  1005 combo    175  25 118 162 ""             dropdownlist vscroll tabstop stretchx
  1006 control    7  44 286 174 "{EAB22AC3-30C1-11CF-A7EB-0000C05BAE0B}" tabstop stretchx stretchy
end

# Help page "Abiinfo".
dialog 130 300 225 "Abiinfo" child
  1012 static     7   2  72  19 ""
  1006 control    7  21 286 197 "{EAB22AC3-30C1-11CF-A7EB-0000C05BAE0B}" tabstop stretchx stretchy
end

# Catalogue editor page; its tab caption is the catalogue's title.
dialog 131 300 225 "" child
  1007 listview   7   7 227 211 ""             report singlesel showselalways border tabstop stretchx stretchy
  1010 button   243  40  50  14 "Lisa..."      tabstop movex
  1004 button   243  58  50  14 "Muuda..."     default tabstop movex
  1011 button   243  76  50  14 "Kustuta"      tabstop movex
  1012 button   243 111  50  14 "Ülespoole"    tabstop movex
  1013 button   243 130  50  14 "Allapoole"    tabstop movex
  1015 button   243 180  50  14 "Laadi..."     tabstop movex
end

# Dictionary entry dialog "Sõnastik".
dialog 135 290 108 "Sõnastik" popup caption sysmenu modalframe
  1008 edit      85  23 198  12 ""             border autohscroll tabstop
  1009 edit      85  41 198  12 ""             border autohscroll tabstop
  1015 combo     85  58 198 113 ""             dropdownlist vscroll tabstop
  1    button   178  87  50  14 "Lisa"         default tabstop
  2    button   233  87  50  14 "Loobun"       tabstop
  -1   static     7  25  72   8 "Nimi:"        right group
  -1   static     7  42  72   8 "Sõnastikuprogramm:" right group
  -1   static     7  60  72   8 "Parameetri kodeering:" right group
  items 1015 "utf8" "baltic" "western"
end

# Download selection; the caption is set when the dialog opens.
dialog 136 241 226 "" popup caption sysmenu modalframe
  1007 listview   7   7 227 192 "List1"        report showselalways border tabstop
  1    button   129 205  50  14 "Lisa"         default disabled tabstop
  2    button   184 205  50  14 "Loobun"       tabstop
end

# Wait window shown over the download selection while the list loads.
dialog 139 163 57 "" popup border
  1013 static     7  18 149  26 "Laadin infot sõnastike kohta.\nPalun oodake..." center
end
