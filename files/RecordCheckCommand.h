#pragma once

#include "files/RecordCheck.h"
#include "race/RaceState.h"

class PlayerPrompts;
class RecordFields;

// The new race dialog's "check the record" command: replays the loaded record on the loaded track
// and tells the user what it found. A record that fails the check is moved aside for good (its file
// becomes ".rek.bak") and forgotten; a valid one is shown again. dialog may be null.
// Returns the check's code.
CheckCode CheckLoadedRecord(RaceState& state, PlayerPrompts& window, RecordFields* dialog);
