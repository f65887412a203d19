// The hook library's frame around the classifier.
#pragma once

// Tells the runner that a splash window has just been moved.
void NotifyRunner();
