// The names each build of the library goes by. A hook reaches only programs of
// its own bitness, so 32-bit and 64-bit Windows programs each need their own
// library, and each library keeps its own shared record: neither bitness can
// then overwrite or unhook the other's hook. Plain macros, so that resource
// scripts can use them too.
#pragma once

#define ZENTROVA32_LIBRARY_NAME "Zentrova.dll"
#define ZENTROVA32_MAPPING_NAME "ZentrovaShellHookMappedData"
#define ZENTROVA64_LIBRARY_NAME "Zentrova64.dll"
#define ZENTROVA64_MAPPING_NAME "Zentrova64ShellHookMappedData"

// This build's own.
#ifdef _WIN64
#define ZENTROVA_LIBRARY_NAME ZENTROVA64_LIBRARY_NAME
#define ZENTROVA_MAPPING_NAME ZENTROVA64_MAPPING_NAME
#else
#define ZENTROVA_LIBRARY_NAME ZENTROVA32_LIBRARY_NAME
#define ZENTROVA_MAPPING_NAME ZENTROVA32_MAPPING_NAME
#endif
