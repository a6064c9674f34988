#pragma once
// For the targets that drive the program's windows: the application
// (offscreen, loopback only) and the test fixture with its private folder
// and scripted dialogs, and the windows built and started once.

#include "FuzzKit.h"

class TTestFixture;

// The application and the fixture; safe to call more than once.
TTestFixture &FuzzFixture();
// The windows built and taken through the start-up, once; no timer runs.
TTestFixture &FuzzWindows();
