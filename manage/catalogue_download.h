#pragma once

#include "dict_catalogue.h"
#include "internet_session.h"

#include <string>

// Fetches the list the maker publishes for a catalogue (the site base address
// followed by fileName) and reads it into a temporary catalogue. The window
// waits for it: no user input is handled while the transfer runs. Raises
// CInternetException when the server cannot be reached, does not begin its
// answer before the idle time-out or the deadline, or sends more than any real
// list holds (no more than that is ever held in memory). A transfer that
// breaks off, stalls or runs past the deadline after the answer began gives
// the entries read so far.
CDictCatalogue FetchPublishedCatalogue(const std::u16string& fileName,
                                       const CDownloadLimits& limits = {});
