#pragma once

#include "dict_catalogue.h"

class CFile;

// The entries of a list the maker publishes, read from its body: a temporary
// catalogue without title, file or built-in entry, holding every complete
// entry in the body's order. A body that ends inside an entry, or that is not
// a list at all, gives the entries before that point, possibly none.
CDictCatalogue ReadPublishedList(CFile& body);
