// The few Windows types the stand-in's scenario and record code names, for
// building that code natively (Linux, clang) in the fuzz targets. Nothing
// here calls Windows.
#pragma once

#include <cstdint>

typedef std::uint32_t DWORD;
typedef unsigned char BYTE;
typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#define __stdcall
