#pragma once

#include "race/PlayerPrompts.h"
#include "race/RaceView.h"

// What the race asks of the main window: prompts and sounds, and the view. The main window
// implements it through its parts; tests put a recording fake in its place, so every rule of the
// race runs without a window.
class GameWindow : public PlayerPrompts, public RaceView {};
