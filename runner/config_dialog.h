// The dialog that edits the ignore list.
#pragma once

// Opens the dialog and returns when it has ended, or raises the one already open.
void ShowConfigDialog();

// Adds a path to the open dialog's list unless it is there, so that its OK
// keeps a program put on the ignore list elsewhere while it was open.
void ConfigDialogAddEntry(const char *path);
