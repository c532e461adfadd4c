#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

// A rectangle as "(left, top, right, bottom)", for comparisons whose failures read well.
inline std::string Text(const RECT& rc) {
    char text[64] = {};
    std::snprintf(text, sizeof text, "(%ld, %ld, %ld, %ld)", rc.left, rc.top, rc.right, rc.bottom);
    return text;
}
