#include "files/RecordCheckCommand.h"

#include "files/RecordCheck.h"
#include "files/RecordFile.h"
#include "race/PlayerPrompts.h"
#include "shell/MessageBoxStyle.h"
#include "shell/StringIds.h"

CheckCode CheckLoadedRecord(RaceState& state, PlayerPrompts& window, RecordFields* dialog)
{
    if (dialog)
        dialog->showRecord(LoadText(state, StringId::CheckingRecord));
    const CheckCode code = CheckRecord(state);
    if (code != CheckCode::RecordValid) {
        window.messageBox(LoadText(state, StringId::RecordInvalidText), StyleCritical, LoadText(state, StringId::RecordTitle));
        moveRecordAside(recordFilePath(state));
        ClearRecord(state, dialog);
        return code;
    }
    window.messageBox(LoadText(state, StringId::RecordValidText), StyleInformation, LoadText(state, StringId::RecordTitle));
    if (dialog)
        dialog->showRecord(recordSummary(state));
    return code;
}
