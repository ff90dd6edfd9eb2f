// Where the program keeps the files it writes (czas.dat and those beside it):
// in its own folder whenever it may write there and it is not under Program
// Files, else in a folder of this copy's own under the user's local
// application data.
#pragma once

#include <functional>
#include <string>

namespace czasomir {

struct DataFolder {
    std::wstring path;
    bool writable = true;  // false: no folder takes the files; saves will fail
    bool seed = false;     // this copy's own folder, still to be made and started from the program folder's files
};

// This copy's folder under the local application data folder:
// <localAppData>\Czasomir\<name>-<hash>, where name is the program folder's
// name and hash eight hex digits of the whole key. The key is the executable's
// full path spelt one way (long names, upper case), so that another spelling
// of the same path finds the same folder.
std::wstring FallbackFolder(const std::wstring& localAppData, const std::wstring& executableKey);

// The choice made at startup, before the single-instance test and the first
// read of czas.dat; it writes nothing (a probe leaves nothing behind):
// 1. this copy's fallback folder when it already holds a czas.dat: a total
//    never goes back to an older copy in the program folder;
// 2. else the program folder, when a save could be made there and it is not a
//    folder that only administrators can change (protectedCopy, asked only
//    then): such a folder is shared by every user, so it never holds data,
//    even when this copy runs with administrator rights;
// 3. else the fallback folder, to be made by PrepareDataFolder (seed).
// An empty localAppData means no fallback folder: the program folder.
DataFolder ChooseDataFolder(const std::wstring& programFolder, const std::wstring& localAppData,
                            const std::wstring& executableKey, const std::function<bool()>& protectedCopy);

// Makes the chosen folder ready once this copy alone may use it. A fallback
// folder still to be seeded is made (unless another copy made it meanwhile)
// and started from the program folder's files that are the user's own (mine):
// historia.csv and czasomir.ini first, then the total in czas.dat, carried
// only when the others came across, so that a seed cut short leaves no
// czas.dat there and the next start seeds again. Without a folder made whole
// (or when the program folder's czas.dat is there but cannot be read to carry
// its total over): the program folder, not writable.
DataFolder PrepareDataFolder(const DataFolder& chosen, const std::wstring& programFolder,
                             const std::function<bool(const std::wstring&)>& mine);

}  // namespace czasomir
