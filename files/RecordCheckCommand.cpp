#include "files/RecordCheckCommand.h"

#include "files/RecordCheck.h"
#include "files/RecordFile.h"
#include "race/PlayerPrompts.h"
#include "shell/MessageBoxStyle.h"

namespace {

// String table ids.
constexpr qint32 CheckingText = 556;   // "probíhá kontrola..."
constexpr qint32 RecordTitle = 557;    // "Rekord..."
constexpr qint32 InvalidText = 558;
constexpr qint32 ValidText = 559;

}  // namespace

CheckCode CheckLoadedRecord(RaceState& state, PlayerPrompts& window, RecordFields* dialog)
{
    if (dialog)
        dialog->showRecord(LoadText(state, CheckingText));
    const CheckCode code = CheckRecord(state);
    if (code != CheckCode::RecordValid) {
        window.messageBox(LoadText(state, InvalidText), StyleCritical, LoadText(state, RecordTitle));
        moveRecordAside(recordFilePath(state));
        ClearRecord(state, dialog);
        return code;
    }
    window.messageBox(LoadText(state, ValidText), StyleInformation, LoadText(state, RecordTitle));
    if (dialog)
        dialog->showRecord(recordSummary(state));
    return code;
}
