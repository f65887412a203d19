// The shared memory through which the menu probe hands over what it read.
#pragma once

const char kMenuProbeMapping[] = "ZentrovaTestMenuProbe";
const unsigned kMenuProbeSize = 65536;
