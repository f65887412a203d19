// The splash corpus: toolkits' splash screens and their non-splash
// neighbours, as the fixture program or the NSIS corpus programs show them,
// and whether the live hook must move each off-screen.
#pragma once

#include <string>

struct CorpusRow {
    const char *toolkit, *window;
    const char *program; // an NSIS corpus program, or null for a fixture command
    // For a program: the class of the window to watch. Otherwise the fixture's
    // command, "window [owned] ON CLASS STYLE EXSTYLE W H [CHILD STYLE]..." or
    // "picture ON STYLE EXSTYLE W H".
    const char *shape;
    bool moved;
    // The toolkit centres it on the monitor under the pointer.
    bool pointerMonitor;
};

extern const CorpusRow kCorpus[];
extern const unsigned kCorpusRows;

// The row's fixture command moved to another monitor: its place ON, "screen"
// or "work", replaced by that monitor's rectangle or its work area's.
std::string CommandOn(const CorpusRow &row, const std::string &screen, const std::string &work);
