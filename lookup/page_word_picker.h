#pragma once

#include <functional>
#include <string>
#include <string_view>

class CWebBrowser;

// Looks up from the answer page: a double click on a word there hands that
// word on, as the browser selected it. The word is read from the browser's
// own record of the page's selection, so nothing runs inside the page, whose
// content is the dictionary program's and not ours.
class CPageWordPicker
{
public:
    // Watches the double clicks on browser's page for as long as the page
    // lasts; onWord gets each word picked.
    static void Watch(CWebBrowser& browser, std::function<void(const std::u16string&)> onWord);

    // A selected text as a word to look up: white space at its ends dropped,
    // every run of it inside (line breaks too) one space. Empty when nothing
    // is left.
    static std::u16string WordFromSelection(std::u16string_view selection);
    // The page menu's command for strWord, "Otsi „WORD“", a long word cut
    // short with "…" (the command still looks up the whole of it).
    static std::u16string LookUpCommandText(const std::u16string& strWord);
};
