#include "app/output_writer.h"

#include "base/utf8_text.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct OutputWriter::Queue {
    HANDLE hOutput = nullptr;
    bool console = false;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::wstring> texts;
    bool writing = false; // a text has left the queue and is not yet written
    bool closed = false;  // nothing more is written

    void WriteOut(const std::wstring& text) const {
        DWORD written = 0;
        if (console) {
            WriteConsoleW(hOutput, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
            return;
        }
        const std::string bytes = ToUtf8(text);
        WriteFile(hOutput, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

    void Run() {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return closed || !texts.empty(); });
            if (closed)
                return;
            const std::wstring text = std::move(texts.front());
            texts.pop_front();
            writing = true;
            lock.unlock();
            WriteOut(text);
            lock.lock();
            writing = false;
            changed.notify_all();
        }
    }
};

OutputWriter::OutputWriter(HANDLE hOutput, bool console) : m_queue(std::make_shared<Queue>()) {
    m_queue->hOutput = hOutput;
    m_queue->console = console;
    std::thread([queue = m_queue] { queue->Run(); }).detach();
}

OutputWriter::~OutputWriter() {
    const std::lock_guard lock(m_queue->mutex);
    m_queue->closed = true;
    m_queue->texts.clear();
    m_queue->changed.notify_all();
}

void OutputWriter::Write(std::wstring text) {
    const std::lock_guard lock(m_queue->mutex);
    m_queue->texts.push_back(std::move(text));
    m_queue->changed.notify_all();
}

bool OutputWriter::Flush(DWORD timeoutMs) {
    std::unique_lock lock(m_queue->mutex);
    return m_queue->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
        return m_queue->texts.empty() && !m_queue->writing;
    });
}
