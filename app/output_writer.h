#pragma once
// A writer that puts texts out in order from a thread of its own.

#include <windows.h>

#include <memory>
#include <string>

// Writes texts to an output in order from a thread of its own, so that an output nobody reads (a
// full pipe, a paused console) never holds the caller: a write that cannot complete holds only
// that thread, which the process's end takes down.
class OutputWriter {
public:
    // A console gets the texts as its own text, any other output as UTF-8 bytes. The caller keeps
    // the handle open while texts may still be written.
    OutputWriter(HANDLE hOutput, bool console);
    // Writes nothing more; a write still under way is left to finish or to the process's end.
    ~OutputWriter();
    OutputWriter(const OutputWriter&) = delete;
    OutputWriter& operator=(const OutputWriter&) = delete;

    void Write(std::wstring text);
    // Waits until every text given so far is written, at most for the time; true when all were.
    bool Flush(DWORD timeoutMs);

private:
    struct Queue; // shared with the writing thread, which may outlive this object
    std::shared_ptr<Queue> m_queue;
};
