#pragma once

#include <windows.h>

#include <initializer_list>
#include <iterator>
#include <vector>

// Real key events (SendInput) to the foreground window of the calling thread's desktop: the keys
// are pressed together, in order, and released in the reverse order.
inline void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    const auto add = [&inputs](WORD key, DWORD flags) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (const WORD key : keys)
        add(key, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        add(*key, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}
