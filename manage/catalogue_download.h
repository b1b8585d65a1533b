#pragma once

#include "dict_catalogue.h"

#include <string>

// Limits of one transfer; the defaults suit the maker's server, tests shorten them.
struct CDownloadLimits {
    int nIdleTimeoutMs = 30 * 1000;
    long long nMaxBytes = 4 * 1024 * 1024;
};

// Fetches the list the maker publishes for a catalogue (the site base address
// followed by fileName) and reads it into a temporary catalogue. The window
// waits for it: no user input is handled while the transfer runs. Raises
// CInternetException when the server cannot be reached, sends nothing for
// the idle time-out, or sends more than any real list holds.
CDictCatalogue FetchPublishedCatalogue(const std::u16string& fileName,
                                       const CDownloadLimits& limits = {});
