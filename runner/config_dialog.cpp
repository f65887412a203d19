#include "config_dialog.h"

// The dialog arrives with the ignore-list editor; until then there is nothing to open.
void ShowConfigDialog()
{
}
