#pragma once

#include "word_length.h"

#include <string>
#include <string_view>

// The word that a selected text stands for: its first run of letters and
// digits, with the hyphens and apostrophes inside it ("e-mail", "rock'n'roll"),
// in the case it was selected in (dictionaries tell "Tõnis" from "tõnis") and
// at most kMaxWordLength characters long. Empty when the text holds no letter
// or digit.
std::u16string FirstWordOf(std::u16string_view strText);
