#pragma once
// Recorded window messages compared with an expected table, both printed whole when they differ.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Message ids in the order a window received them.
using MessageSequence = std::vector<UINT>;

// "WM_CREATE" for the common ids, "WM_APP+1" above WM_APP and WM_USER, hex for the rest.
std::string MessageName(UINT uMsg);

// Passes when the recorded messages are the expected ones in the same order; otherwise prints
// both sequences whole with their names and where they first part.
::testing::AssertionResult SameMessages(const MessageSequence& recorded,
                                        const MessageSequence& expected);

// The same for records that note a message in uMsg (a window's arrivals).
template <typename Records>
::testing::AssertionResult SameMessages(const Records& recorded, const MessageSequence& expected) {
    MessageSequence messages;
    for (const auto& record : recorded)
        messages.push_back(record.uMsg);
    return SameMessages(messages, expected);
}
