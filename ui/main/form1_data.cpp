// Where the total is kept, telling the user once when it cannot be saved, and
// the question before a reset throws the total away.
#include "core/elapsed_text.h"
#include "storage/data_folder.h"
#include "ui/main/form1.h"

namespace czasomir {

// Before the first read: the program's folder, or this copy's own folder when
// the program's folder refuses writes or lies under Program Files.
void Form1::ChooseDataFolder() {
    chosen_ = czasomir::ChooseDataFolder(platform().AppDirectory(), platform().LocalAppDataFolder(),
                                         platform().ExecutableKey(), [&] { return Autostart().protectedCopy(); });
}

// Only the user's own files seed a new folder: never an administrator's or
// another user's total, left in the program folder by an earlier version.
void Form1::PrepareDataFolder() {
    chosen_ = czasomir::PrepareDataFolder(chosen_, platform().AppDirectory(),
                                          [&](const std::wstring& file) { return platform().UserOwnsFile(file); });
    timeFile_ = TimeFile(chosen_.path);
    if (!chosen_.writable) SaveFailedNow();
}

// Counting goes on and later saves try again without a word. Never from the
// closing save: a box then would hold up the end of the program or of the session.
void Form1::SaveFailedNow() {
    if (saveWarning_ == SaveWarning::None) saveWarning_ = SaveWarning::Due;
    TellSaveFailure();
}

// Hidden in the tray, the window tells it once it is shown again.
void Form1::TellSaveFailure() {
    if (saveWarning_ != SaveWarning::Due || !visible() || platform().SessionEnding()) return;
    saveWarning_ = SaveWarning::Told;
    platform().ShowMessage(*this, L"Nie można zapisać zmierzonego czasu w folderze " + chosen_.path +
                                      L". Czas jest liczony dalej.");
}

// The display counts on behind the question; Tak resets the total as it is then.
bool Form1::ConfirmReset() {
    asking_ = true;
    const bool yes = platform().AskYesNo(
        *this, L"Czy wyzerować zmierzony czas (" + FormatElapsed(Counter.TotalSeconds) + L")? Tego nie można cofnąć.");
    asking_ = false;
    return yes;
}

}  // namespace czasomir
