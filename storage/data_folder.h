// Where the program keeps the files it writes (czas.dat and those beside it):
// in its own folder whenever it may write there, else in a folder of this
// copy's own under the user's local application data.
#pragma once

#include <string>

namespace czasomir {

struct DataFolder {
    std::wstring path;
    bool writable = true;  // false: no folder takes the files; saves will fail
};

// This copy's folder under the local application data folder:
// <localAppData>\Czasomir\<name>-<hash>, where name is the program folder's
// name and hash eight hex digits of the whole key. The key is the executable's
// full path spelt one way (long names, upper case), as the single-instance
// test keys a copy, so another spelling of the same path finds the same folder.
std::wstring FallbackFolder(const std::wstring& localAppData, const std::wstring& executableKey);

// The choice made at startup, before czas.dat is first read:
// 1. this copy's fallback folder when it already holds a czas.dat: a total
//    never goes back to an older copy in the program folder;
// 2. else the program folder, when a save could be made there;
// 3. else the fallback folder, created now and started from the total in the
//    program folder's czas.dat; nothing is written to the program folder;
// 4. else (no folder takes the files, or the program folder's czas.dat is
//    there but cannot be read to carry its total over) the program folder,
//    not writable.
// An empty localAppData means no fallback folder.
DataFolder ChooseDataFolder(const std::wstring& programFolder, const std::wstring& localAppData,
                            const std::wstring& executableKey);

}  // namespace czasomir
