// The dialog that edits the ignore list.
#pragma once

// Opens the dialog and returns when it has ended, or raises the one already open.
void ShowConfigDialog();
