#pragma once
// The framework's classes are exported by the executable that links them, under the compiler's
// own decorated C++ names.
#define TESSEL_API __declspec(dllexport)
