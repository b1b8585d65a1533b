#pragma once

#include <string>

// The folders of the user's own that the program keeps files in, as the XDG
// base directories name them: catalogues in the data folder, settings in the
// config folder, the word history in the state folder, the window's socket in
// the runtime folder. Every folder is returned ending in a slash, in the
// system's own bytes, and empty when there is none (no home folder; for the
// runtime folder, no XDG_RUNTIME_DIR). Nothing here makes a folder or moves a
// file except Make, MakeFolderOf and FilePath.
class CUserFolders
{
public:
    enum Kind { kindData, kindConfig, kindState, kindRuntime };

    // $XDG_DATA_HOME/quillbridge/, else ~/.local/share/quillbridge/;
    // $XDG_CONFIG_HOME/quillbridge/, else ~/.config/quillbridge/;
    // $XDG_STATE_HOME/quillbridge/, else ~/.local/state/quillbridge/;
    // $XDG_RUNTIME_DIR/. A variable that is not an absolute path is ignored.
    static std::string Folder(Kind kind);
    // $HOME/, else the home folder the system lists for the user.
    static std::string HomeFolder();

    // strName in the folder of kind. Earlier versions kept every file in the
    // data folder: a file of that name still there is moved to the folder of
    // kind first (the folder made as Make makes it). When the move cannot be
    // made, the old place is returned, so the file is never lost; a file in the
    // old place beside one already moved is removed only when it is that same
    // file or a copy of it, and otherwise left alone. Empty without a folder.
    static std::string FilePath(Kind kind, const std::string& strName);

    // Makes strFolder (ending in a slash) and each missing folder on the way,
    // private to the user; 0 when it is there as a folder, else the system's
    // error number.
    static int Make(const std::string& strFolder);
    // Makes the folder that the file strPath lies in, as Make does; 0 for a
    // bare name, which lies in the current folder.
    static int MakeFolderOf(const std::string& strPath);
};
