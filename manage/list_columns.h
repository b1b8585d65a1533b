#pragma once

class CListCtrl;

// The entry lists of the catalogue page and of the download selection look
// alike: the same three columns, "Nimi", "Kodeering" and "Sõnastikuprogramm",
// sized by the same rule.

// Inserts the three columns, left-aligned, into a list that has none.
void InsertListColumns(CListCtrl& list);

// Shares the list's client width among the three columns: with rows, the
// first two fit their texts and headings (the first at most half the
// width); without, they get a third and a quarter. The last column takes
// the rest.
void SizeListColumns(CListCtrl& list);
