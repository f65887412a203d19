// Start at sign-in: the runner's value under the current user's Run key.
#pragma once

// True when the Run value starts this very runner; a value that starts
// anything else counts as off.
bool SignInIsOn();

// Removes the value when it is on; otherwise writes it, replacing whatever
// the value held.
void ToggleSignIn();
