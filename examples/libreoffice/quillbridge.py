# Looks the word at the cursor (or the selected text) of a Writer document up
# in the KV Quillbridge window.
#
# Copy this file to ~/.config/libreoffice/4/user/Scripts/python/ and give it a
# key or a menu entry: Tools > Customize > Keyboard, category
# "LibreOffice Macros > My Macros > quillbridge", function QuillbridgeAtCursor.
#
# The program gets the word as one argument after "--", started directly,
# never through a shell, so no word can be taken for an option or a command.
# A text goes trimmed of white space at both ends; a text with white space
# inside goes as its first word, as `quillbridge --selection` takes it.
import re
import subprocess

PROGRAM = "quillbridge"
# Letters and digits, with the hyphens and apostrophes inside the word.
_WORD = re.compile(r"[^\W_]+(?:['\u2019\u2010\u2011-]+[^\W_]+)*")


def _first_word(text):
    text = text.strip()
    if not re.search(r"\s", text):
        return text
    match = _WORD.search(text)
    return match.group(0) if match else ""


def _word_at_cursor(document):
    view_cursor = document.getCurrentController().getViewCursor()
    selected = view_cursor.getString()
    if _first_word(selected):
        return _first_word(selected)
    cursor = view_cursor.getText().createTextCursorByRange(view_cursor.getStart())
    # Between two words the cursor stays put and the word is empty.
    if not cursor.isStartOfWord():
        cursor.gotoStartOfWord(False)
    cursor.gotoEndOfWord(True)
    return _first_word(cursor.getString())


def QuillbridgeAtCursor(*_args):
    document = XSCRIPTCONTEXT.getDocument()  # noqa: F821 (given by LibreOffice)
    if not hasattr(document, "getText"):
        return
    word = _word_at_cursor(document)
    if not word:
        return
    # Not waited for: the window stays open while the user writes on.
    subprocess.Popen([PROGRAM, "--", word], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL, close_fds=True, start_new_session=True)


g_exportedScripts = (QuillbridgeAtCursor,)
