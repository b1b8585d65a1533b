#pragma once

#include <string>
#include <string_view>

// Addresses from catalogues and downloaded lists are untrusted, so the browser
// pages go only to web pages: never to an address that runs script in the page
// on show (javascript:), carries its own content (data:) or shows a local file
// (file:, or a bare path, which the browser would take for one).

// True for an http: or https: address with a host (the scheme in any case).
// With bAllowFile a file: address is accepted too: the maker's site may be a
// local folder, and then so are its help and fallback pages.
bool IsNavigableAddress(std::u16string_view address, bool bAllowFile = false);

// The text that refuses address, naming it.
std::u16string RefusedAddressMessage(std::u16string_view address);
