#pragma once

#include "dict_catalogue.h"

#include <string>

// A catalogue as users fill them: names of about 20 characters with Estonian
// letters, the three encodings in turn, addresses of about 60 characters.
CDictCatalogue MakeBenchCatalogue(int nEntries);

// The bytes of that catalogue as a file or a published list holds them.
std::string BenchCatalogueImage(int nEntries);
