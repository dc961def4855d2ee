#pragma once
// The Windows API, for the Windows branches of this folder only: nothing
// above platform/ includes it. <windows.h> defines macros named like some of
// our functions (DeleteFile, CopyFile stand for DeleteFileA/W, CopyFileA/W);
// they are removed here, once, so that our names mean the same in every file.
// Windows calls are written with their explicit "A" names.
#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef DeleteFile
#undef CopyFile

#endif
