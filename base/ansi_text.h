#pragma once
// Wide text to the ANSI code page, into a narrow string that owns its text.

#include <array>
#include <cstddef>
#include <memory>

// A narrow string that owns its text: inside the object up to 128 bytes, on the heap beyond.
class AnsiText {
public:
    static constexpr size_t kInlineBytes = 128;

    AnsiText() = default;
    AnsiText(AnsiText&& other) noexcept;
    AnsiText& operator=(AnsiText&& other) noexcept;
    AnsiText(const AnsiText&) = delete;
    AnsiText& operator=(const AnsiText&) = delete;
    ~AnsiText() = default;

    // Null for the conversion of a null source.
    const char* c_str() const { return m_pText; }
    bool IsOnHeap() const { return m_heap != nullptr; }

private:
    friend AnsiText WideToAnsi(const wchar_t* text);
    // Room for the given number of bytes, zero-filled; the previous text is dropped.
    char* Reserve(size_t bytes);

    std::array<char, kInlineBytes> m_inline{};
    std::unique_ptr<char[]> m_heap;
    const char* m_pText = nullptr;
};

// Wide text to the calling thread's ANSI code page. Characters that the code page lacks become
// its default character. Throws std::system_error with the system's error code when the platform
// conversion fails, and std::bad_alloc when no room can be had.
AnsiText WideToAnsi(const wchar_t* text);
