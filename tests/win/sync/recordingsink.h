#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "syncfolderapp/sync/syncfileimpl.h"

// Keeps every result line a run reports, in order.
struct ResultLine {
    bool error = false;
    std::wstring text;
    std::uint32_t code = 0;
    std::uint32_t tag = 0;
};

class RecordingSink final : public SyncFileImpl {
public:
    void OnSyncLog(const std::wstring& text, std::uint32_t line) override { Add({false, text, 0, line}); }
    void OnSyncError(const std::wstring& text, std::uint32_t error, std::uint32_t line) override
    {
        Add({true, text, error, line});
    }

    std::vector<ResultLine> Lines()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.clear();
    }
    std::vector<std::wstring> Texts()
    {
        std::vector<std::wstring> texts;
        for (const ResultLine& line : Lines())
            texts.push_back(line.text);
        return texts;
    }

    // Called on the reporting thread after each line is kept.
    std::function<void(const ResultLine&)> onLine;

private:
    void Add(const ResultLine& line)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(line);
        }
        if (onLine)
            onLine(line);
    }
    std::mutex mutex_;
    std::vector<ResultLine> lines_;
};
