#include "syncfolderapp/sync/journalformat.h"

#include <algorithm>
#include <cstdio>

#include "common/textutil.h"

namespace {

constexpr wchar_t kTab = L'\t';
constexpr std::size_t kChecksumDigits = 8;
// target, before, backup, 4 numbers: the fields before the created directories.
constexpr std::size_t kFixedFields = 7;
constexpr std::size_t kNumberDigits = 20;

const wchar_t* BeforeWord(BeforeRun before)
{
    switch (before) {
    case BeforeRun::Backup:
        return L"backup";
    case BeforeRun::NoBackup:
        return L"nobackup";
    case BeforeRun::Nothing:
        break;
    }
    return L"new";
}

bool ParseBefore(std::wstring_view word, BeforeRun& before)
{
    for (BeforeRun value : {BeforeRun::Nothing, BeforeRun::Backup, BeforeRun::NoBackup}) {
        if (word == BeforeWord(value)) {
            before = value;
            return true;
        }
    }
    return false;
}

// FNV-1a over the line's UTF-8 bytes, so that the value does not depend on the width of
// wchar_t.
std::uint32_t Checksum(std::wstring_view text)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : ToUtf8(std::wstring(text))) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

std::wstring Hex8(std::uint32_t value)
{
    wchar_t digits[kChecksumDigits + 1];
    std::swprintf(digits, kChecksumDigits + 1, L"%08x", value);
    return digits;
}

bool ParseNumber(std::wstring_view text, std::uint64_t& value)
{
    if (text.empty() || text.size() > kNumberDigits)
        return false;
    value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return false;
        const std::uint64_t next = value * 10 + static_cast<std::uint64_t>(c - L'0');
        if (next / 10 != value)
            return false;
        value = next;
    }
    return true;
}

std::vector<std::wstring_view> SplitFields(std::wstring_view line)
{
    std::vector<std::wstring_view> fields;
    std::size_t start = 0;
    for (std::size_t tab = line.find(kTab); tab != std::wstring_view::npos; tab = line.find(kTab, start)) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

bool ParseEntry(std::wstring_view line, JournalEntry& entry)
{
    const std::size_t sumStart = line.rfind(kTab);
    if (sumStart == std::wstring_view::npos || line.size() - sumStart - 1 != kChecksumDigits ||
        Hex8(Checksum(line.substr(0, sumStart))) != line.substr(sumStart + 1))
        return false;
    const std::vector<std::wstring_view> fields = SplitFields(line.substr(0, sumStart));
    if (fields.size() < kFixedFields || fields[0].empty() || !ParseBefore(fields[1], entry.before))
        return false;
    entry.target = fields[0];
    entry.backupPath = fields[2];
    if ((entry.before == BeforeRun::Backup) == entry.backupPath.empty())
        return false;
    if (!ParseNumber(fields[3], entry.old.size) || !ParseNumber(fields[4], entry.old.writeTime) ||
        !ParseNumber(fields[5], entry.written.size) || !ParseNumber(fields[6], entry.written.writeTime))
        return false;
    entry.old.exists = entry.before != BeforeRun::Nothing;
    entry.written.exists = true;
    for (std::size_t i = kFixedFields; i < fields.size(); ++i) {
        if (fields[i].empty())
            return false;
        entry.createdDirs.emplace_back(fields[i]);
    }
    return true;
}

bool HasJournalExt(std::wstring_view name, std::wstring_view ext)
{
    std::uint64_t number = 0;
    return name.size() == kNumberDigits + ext.size() && name.substr(kNumberDigits) == ext &&
           ParseNumber(name.substr(0, kNumberDigits), number) && number != UINT64_MAX;
}

std::wstring WithExt(std::wstring_view name, const wchar_t* ext)
{
    return std::wstring(name.substr(0, kNumberDigits)) + ext;
}

}  // namespace

JournalEntry CommitEntry(const std::wstring& target, const FileStamp& old, const std::wstring& backupPath,
                         const FileStamp& written, const std::vector<std::wstring>& createdDirs)
{
    JournalEntry entry;
    entry.target = target;
    entry.before = !backupPath.empty() ? BeforeRun::Backup : old.exists ? BeforeRun::NoBackup : BeforeRun::Nothing;
    entry.backupPath = backupPath;
    entry.old = old;
    entry.old.exists = entry.before != BeforeRun::Nothing;
    entry.written = written;
    entry.written.exists = true;
    entry.createdDirs = createdDirs;
    return entry;
}

std::wstring FormatJournalLine(const JournalEntry& entry)
{
    std::wstring line = entry.target;
    for (const std::wstring& field : {std::wstring(BeforeWord(entry.before)), entry.backupPath,
                                      std::to_wstring(entry.old.size), std::to_wstring(entry.old.writeTime),
                                      std::to_wstring(entry.written.size), std::to_wstring(entry.written.writeTime)})
        line += kTab + field;
    for (const std::wstring& dir : entry.createdDirs)
        line += kTab + dir;
    return line + kTab + Hex8(Checksum(line)) + L"\n";
}

JournalRead ParseJournal(std::wstring_view text, std::vector<JournalEntry>& entries, std::size_t& damagedLines)
{
    entries.clear();
    damagedLines = 0;
    const std::wstring_view header = kJournalHeader;
    std::size_t end = text.find(L'\n');
    if (end == std::wstring_view::npos)
        return header.substr(0, text.size()) == text ? JournalRead::Ok : JournalRead::Damaged;
    if (text.substr(0, end) != header)
        return JournalRead::Damaged;
    for (std::size_t start = end + 1; start < text.size(); start = end + 1) {
        end = text.find(L'\n', start);
        if (end == std::wstring_view::npos)
            break;  // cut off while being written: its pair was never committed
        JournalEntry entry;
        if (ParseEntry(text.substr(start, end - start), entry))
            entries.push_back(std::move(entry));
        else
            ++damagedLines;
    }
    return JournalRead::Ok;
}

std::wstring JournalFileName(std::uint64_t number)
{
    wchar_t digits[kNumberDigits + 1];
    std::swprintf(digits, kNumberDigits + 1, L"%020llu", static_cast<unsigned long long>(number));
    return digits + std::wstring(kOpenJournalExt);
}

bool IsJournalFileName(std::wstring_view name)
{
    return HasJournalExt(name, kOpenJournalExt) || HasJournalExt(name, kUndoneJournalExt) ||
           HasJournalExt(name, kDamagedJournalExt);
}

bool JournalNumber(std::wstring_view name, std::uint64_t& number)
{
    return IsJournalFileName(name) && ParseNumber(name.substr(0, kNumberDigits), number);
}

std::wstring UndoneName(std::wstring_view openName)
{
    return WithExt(openName, kUndoneJournalExt);
}

std::wstring DamagedName(std::wstring_view openName)
{
    return WithExt(openName, kDamagedJournalExt);
}

std::vector<std::wstring> JournalsToRemove(std::vector<std::wstring> names)
{
    std::erase_if(names, [](const std::wstring& name) { return !IsJournalFileName(name); });
    if (names.size() <= kJournalsKept)
        return {};
    std::sort(names.begin(), names.end());
    names.resize(names.size() - kJournalsKept);
    return names;
}

std::wstring NewestOpenJournal(const std::vector<std::wstring>& names)
{
    std::wstring newest;
    for (const std::wstring& name : names) {
        if (HasJournalExt(name, kOpenJournalExt) && name > newest)
            newest = name;
    }
    return newest;
}
