#pragma once

#include <string>

// The maker's site: its help pages, the fallback page and the published
// catalogue lists all lie under one base address ending in "/quillbridge/".
// It is fixed when the library is built: the maker's server, or for an
// installed program the copy of the site installed with it, as a file:
// address. The variable of the environment named as the build option
// replaces it, for mirrors and for tests.
std::u16string SiteBaseAddress();
// The page shown when there is nothing to look up.
std::u16string FallbackPageAddress();
// The local folder of the site base when it is a file: address (as an
// installed package has it), in the system's own bytes; empty otherwise. The
// published lists there start a user who has no catalogue files yet.
std::string InstalledSiteFolder();
// The page the help tab opens: the base itself on a server, which answers with
// its front page; in a local folder its index.html, since the browser would
// only list the folder.
std::u16string HelpPageAddress();
