#pragma once
// The application's side of the loop delegates: what the product's calls
// do to the main window, the owner and the run.
#include "loop_delegate_win32.h"

// The one host every delegate of this process serves.
LoopDelegateHost& loopDelegateHost();
