#pragma once

#include <QCursor>

// The three pointers of the track view (the cursor image list): 1 an allowed target with a clear
// path, 2 an allowed target whose straight path meets the barrier, 3 not an allowed target.
QCursor trackCursor(int image);
