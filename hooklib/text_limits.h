// Buffer sizes shared by everything that handles window texts and paths.
#pragma once

enum {
    kWindowTextSize = 1999, // class names and window texts, NUL included
    kPathSize = 260,        // paths, NUL included
};
