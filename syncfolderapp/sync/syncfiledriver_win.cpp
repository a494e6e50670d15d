#include "syncfolderapp/sync/syncfiledriver.h"

#include <limits>
#include <optional>
#include <system_error>
#include <thread>

#include <windows.h>
#include <shlwapi.h>
#include <winternl.h>

#include "common/pathutil.h"
#include "common/sharekey.h"
#include "common/textutil.h"
#include "common/winhandle.h"
#include "syncfolderapp/sync/lanescheduler.h"
#include "syncfolderapp/sync/tempname.h"

namespace {

// Shares of the progress bar, in percent: the preparation pass, then the copy pass.
constexpr double kPreparationShare = 10.0;
constexpr double kCopyShare = 90.0;
// After this many loop steps the worker sleeps for a millisecond.
constexpr std::int32_t kYieldEvery = 1000;

std::uint64_t FileTimeValue(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The file's index on its volume, asked apart from the volume's serial number: that one
// costs half a millisecond per call under Wine and is needed only when two indexes match.
bool ReadFileIndex(HANDLE file, std::uint64_t& index)
{
    IO_STATUS_BLOCK io;
    FILE_INTERNAL_INFORMATION info;
    if (NtQueryInformationFile(file, &io, &info, sizeof(info), FileInternalInformation) < 0)
        return false;
    index = static_cast<std::uint64_t>(info.IndexNumber.QuadPart);
    return true;
}

bool ReadLinkCount(HANDLE file, std::uint32_t& links)
{
    FILE_STANDARD_INFO info;
    if (!GetFileInformationByHandleEx(file, FileStandardInfo, &info, sizeof(info)))
        return false;
    links = info.NumberOfLinks;
    return true;
}

bool OnOneVolume(HANDLE a, HANDLE b)
{
    DWORD serialA = 0;
    DWORD serialB = 0;
    return GetVolumeInformationByHandleW(a, nullptr, 0, &serialA, nullptr, nullptr, nullptr, 0) &&
           GetVolumeInformationByHandleW(b, nullptr, 0, &serialB, nullptr, nullptr, nullptr, 0) && serialA == serialB;
}

// Opens a file or directory only to ask who it is.
FileHandle OpenForIdentity(const std::wstring& path)
{
    return FileHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Both names exist as regular files with the same size and times: the only case in
// which they can name one file, and the only one worth opening the target for.
bool MayBeSameFile(const std::wstring& a, const std::wstring& b)
{
    WIN32_FILE_ATTRIBUTE_DATA da;
    WIN32_FILE_ATTRIBUTE_DATA db;
    if (!GetFileAttributesExW(a.c_str(), GetFileExInfoStandard, &da) ||
        !GetFileAttributesExW(b.c_str(), GetFileExInfoStandard, &db))
        return false;
    if ((da.dwFileAttributes | db.dwFileAttributes) & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    return da.nFileSizeHigh == db.nFileSizeHigh && da.nFileSizeLow == db.nFileSizeLow &&
           FileTimeValue(da.ftLastWriteTime) == FileTimeValue(db.ftLastWriteTime) &&
           FileTimeValue(da.ftCreationTime) == FileTimeValue(db.ftCreationTime);
}

// Where each version directory lies, as the lane planner compares them: its one spelling
// on the network, upper-cased as the system compares names; empty on a local volume.
std::vector<std::wstring> LanePathsOf(const std::vector<std::wstring>& folders)
{
    std::vector<std::wstring> paths;
    paths.reserve(folders.size());
    for (const std::wstring& folder : folders) {
        const std::wstring network = NetworkPathOf(folder);
        paths.push_back(network.empty() ? network : UpperName(LanePath(network)));
    }
    return paths;
}

}  // namespace

CSyncFileDriver::Lane::Lane(const CTargetWriter& configured) : writer(configured)
{
    writer.BeginRun();
}

void CSyncFileDriver::BeginJob(std::int32_t type, bool withBackup, RunChecks runChecks)
{
    busy.store(true);
    keepRunning.store(true);
    yieldCounter.store(0);
    items.clear();
    // Every mode other than Mir200Only places files like SameLevel.
    syncType = type == Mir200Only ? Mir200Only : SameLevel;
    backup = withBackup;
    checks = runChecks;
    progress.store(0);
    successCount.store(0);
    skippedCount.store(0);
}

std::int32_t CSyncFileDriver::StartSync(const std::vector<std::wstring>& files,
                                        const std::vector<std::wstring>& folders, std::int32_t type, bool withBackup,
                                        RunChecks runChecks, bool withJournal)
{
    BeginJob(type, withBackup, runChecks);
    journalOn = withJournal;
    retry.BeginRun();
    unfinishedFolders.clear();
    PrepareItems(files);

    // Once copying has begun a stop request changes nothing: every folder is done.
    if (!items.empty() && keepRunning.load() && !folders.empty())
        WriteInLanes(folders);

    if (journal)
        journal->EndRun();
    progress.store(100);
    busy.store(false);
    keepRunning.store(false);
    return successCount.load();
}

void CSyncFileDriver::KeepJournalIn(const std::wstring& folder)
{
    journalFolder = folder;
    journal = std::make_unique<CRunJournal>(folder);
    writer.SetCommitRecorder([this](const PairWrite& pair) {
        return journalOn ? journal->Record(pair) : static_cast<std::uint32_t>(ERROR_SUCCESS);
    });
}

std::vector<PlanRow> CSyncFileDriver::ComputePlan(const std::vector<std::wstring>& files,
                                                  const std::vector<std::wstring>& folders, std::int32_t type,
                                                  bool withBackup, RunChecks runChecks)
{
    BeginJob(type, withBackup, runChecks);
    Lane lane(writer);
    // Every source is planned, also those a run leaves out or cannot read.
    std::vector<SyncFileItem> all;
    all.reserve(files.size());
    for (const std::wstring& file : files) {
        std::uint32_t error = 0;
        all.push_back(PrepareItem(file, error));
    }
    const PlanProbes probes{[&lane](const std::wstring& target) { return lane.probe.ProbeListed(target); },
                            [this, &lane](const SyncFileItem& item, const std::wstring& target) {
                                return IsSourceItself(lane, item, target);
                            },
                            [this, &lane](const SyncFileItem& item, const std::wstring& target) {
                                return CoarseTimes(lane, item, target);
                            }};
    std::vector<PlanRow> rows = BuildPlan(all, folders, backup, checks, probes);
    busy.store(false);
    keepRunning.store(false);
    return rows;
}

void CSyncFileDriver::PrepareItems(const std::vector<std::wstring>& files)
{
    const std::size_t count = files.size();
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t error = 0;
        SyncFileItem item = PrepareItem(files[i], error);
        if (item.status == ItemStatus::Ready) {
            items.push_back(std::move(item));
        } else if (item.status == ItemStatus::Unreadable && sink) {
            sink->OnSyncError(SourceUnreadableLine(item.sourcePath), error, LINE_SOURCE_UNREADABLE);
        }
        progress.store(
            static_cast<std::int32_t>(static_cast<double>(i + 1) * kPreparationShare / static_cast<double>(count)));
        if (!keepRunning.load())
            break;
        YieldStep();
    }
}

SyncFileItem CSyncFileDriver::PrepareItem(const std::wstring& path, std::uint32_t& error) const
{
    SyncFileItem item;
    item.sourcePath = path;
    item.sourceDir = GetParentPath(path);
    item.fileName = PathFindFileNameW(path.c_str());
    item.status = ItemStatus::Unreadable;
    item.mir200Pos = 0;

    // A temporary file that an interrupted run left is never anyone's source.
    std::uint32_t maker = 0;
    if (ParseTempName(item.fileName, maker)) {
        item.status = ItemStatus::LeftOut;
        return item;
    }
    if (syncType == Mir200Only) {
        const std::int32_t pos = FindMir200Pos(item.sourceDir);
        // A position past the 16-bit field cannot occur in a path Windows accepts.
        if (pos < 0 || pos > std::numeric_limits<std::int16_t>::max()) {
            item.status = ItemStatus::LeftOut;
            return item;
        }
        item.mir200Pos = static_cast<std::int16_t>(pos);
    }

    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        error = GetLastError();
        return item;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) {
        error = GetLastError();
        return item;
    }
    FILETIME written{};
    if (!GetFileTime(file.Get(), nullptr, nullptr, &written)) {
        error = GetLastError();
        return item;
    }
    item.size = size.QuadPart;
    item.lastWrite = FileTimeValue(written);
    item.status = ItemStatus::Ready;
    item.hasFileId = ReadFileIndex(file.Get(), item.fileIndex) && ReadLinkCount(file.Get(), item.linkCount);
    return item;
}

void CSyncFileDriver::WriteInLanes(const std::vector<std::wstring>& folders)
{
    const std::vector<PlannedLane> lanes = PlanLanes(LanePathsOf(folders));
    std::vector<std::wstring> hosts;
    for (const PlannedLane& lane : lanes)
        hosts.push_back(lane.host);
    CLaneScheduler scheduler(std::move(hosts), laneLimits);
    copyBase = progress.load();
    pairsDone.store(0);
    pairsTotal = static_cast<std::int64_t>(items.size()) * static_cast<std::int64_t>(folders.size());
    // Each version directory is written by one lane only, which alone writes its entry.
    std::vector<std::int32_t> failed(folders.size(), 0);
    const auto writeLanes = [&] {
        while (const std::optional<std::size_t> taken = scheduler.Take()) {
            Lane lane(writer);
            for (const std::size_t index : lanes[*taken].folders) {
                successCount.fetch_add(SyncToFolder(lane, folders[index]));
                failed[index] = lane.failedPairs;
                YieldStep();
            }
            scheduler.Done(*taken);
        }
    };
    std::vector<std::thread> helpers;
    for (std::size_t i = 1; i < scheduler.Workers(); ++i) {
        try {
            helpers.emplace_back(writeLanes);
        } catch (const std::system_error&) {
            break;  // no thread to spare: the lanes left wait for the threads there are
        }
    }
    writeLanes();
    for (std::thread& helper : helpers)
        helper.join();
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (failed[i] > 0)
            unfinishedFolders.push_back({folders[i], failed[i]});
    }
}

std::int32_t CSyncFileDriver::SyncToFolder(Lane& lane, const std::wstring& folder)
{
    const std::size_t folderPieces = PathPieces(folder).size();
    std::int32_t copied = 0;
    lane.failedPairs = 0;
    for (const SyncFileItem& item : items) {
        const std::wstring rel = RelativeTarget(item, folderPieces);
        if (!rel.empty() && SyncOnePair(lane, item, folder + rel))
            ++copied;
        PairDone();
        YieldStep();
    }
    return copied;
}

void CSyncFileDriver::PairDone()
{
    const std::int64_t done = pairsDone.fetch_add(1) + 1;
    const auto reached =
        copyBase + static_cast<std::int32_t>(static_cast<double>(done) * kCopyShare / static_cast<double>(pairsTotal));
    // Lanes finish pairs in any order: the bar only moves forward.
    std::int32_t shown = progress.load();
    while (shown < reached && !progress.compare_exchange_weak(shown, reached)) {}
}

const CSyncFileDriver::FileId& CSyncFileDriver::DirectoryId(Lane& lane, const std::wstring& dir)
{
    auto found = lane.dirIds.find(dir);
    if (found != lane.dirIds.end())
        return found->second;
    FileId id;
    // A bare drive ("D:") would open that drive's current directory, not its root.
    const bool bareDrive = dir.size() == 2 && dir[1] == L':';
    FileHandle handle = OpenForIdentity(bareDrive ? dir + L"\\" : dir);
    if (handle)
        id.valid = ReadFileIndex(handle.Get(), id.fileIndex);
    return lane.dirIds.emplace(dir, id).first->second;
}

bool CSyncFileDriver::IsSourceItself(Lane& lane, const SyncFileItem& item, const std::wstring& target)
{
    if (target == item.sourcePath)
        return true;
    if (!item.hasFileId)
        return false;
    if (item.linkCount <= 1) {
        // A file with a single name is reachable only through its own directory, so a
        // target in any other directory cannot be it. Directory indexes are asked once per
        // lane and run, not once per pair; equal ones on two volumes only let the exact
        // test run.
        const FileId& targetDir = DirectoryId(lane, GetParentPath(target));
        if (!targetDir.valid)
            return false;
        const FileId& sourceDir = DirectoryId(lane, item.sourceDir);
        if (!sourceDir.valid || sourceDir.fileIndex != targetDir.fileIndex)
            return false;
    }
    if (!MayBeSameFile(item.sourcePath, target))
        return false;
    FileHandle file = OpenForIdentity(target);
    std::uint64_t fileIndex = 0;
    if (!file || !ReadFileIndex(file.Get(), fileIndex) || fileIndex != item.fileIndex)
        return false;
    FileHandle source = OpenForIdentity(item.sourcePath);
    return source && OnOneVolume(file.Get(), source.Get());
}

bool CSyncFileDriver::SyncOnePair(const SyncFileItem& item, const std::wstring& target)
{
    Lane lane(writer);
    return SyncOnePair(lane, item, target);
}

bool CSyncFileDriver::SyncOnePair(Lane& lane, const SyncFileItem& item, const std::wstring& target)
{
    // The target is the source file (same text, or the same file under another spelling):
    // leave it alone entirely.
    if (IsSourceItself(lane, item, target))
        return false;

    if (checks.skipSame && LooksLikeSource(lane, item, target)) {
        skippedCount.fetch_add(1);
        if (sink)
            sink->OnSyncLog(SameSkippedLine(item.sourcePath, target), LINE_SAME_SKIPPED);
        return false;
    }

    const FileStamp sourceStamp{true, static_cast<std::uint64_t>(item.size), item.lastWrite};
    const WriteResult result =
        retry.Write(lane.writer, item.sourcePath, target, backup, checks.verifyCopy, &sourceStamp);
    if (!result.Written())
        ++lane.failedPairs;
    if (!sink)
        return result.Written();
    if (result.Written())
        sink->OnSyncLog(SyncSucceededLine(item.sourcePath, target), LINE_SYNC_SUCCEEDED);
    else if (result.failure == WriteResult::Verify)
        sink->OnSyncError(VerifyFailedLine(item.sourcePath, target), result.error, LINE_VERIFY_FAILED);
    else
        sink->OnSyncError(SyncFailedLine(item.sourcePath, target), result.error, LINE_SYNC_FAILED);
    return result.Written();
}

bool CSyncFileDriver::LooksLikeSource(Lane& lane, const SyncFileItem& item, const std::wstring& target)
{
    const TargetState state = lane.probe.Probe(target);
    return state.kind == TargetState::File && LooksSame(item.size, item.lastWrite, state.size, state.lastWrite,
                                                        [&] { return CoarseTimes(lane, item, target); });
}

bool CSyncFileDriver::CoarseTimes(Lane& lane, const SyncFileItem& item, const std::wstring& target)
{
    return lane.probe.OnCoarseTimeVolume(item.sourceDir) || lane.probe.OnCoarseTimeVolume(GetParentPath(target));
}

void CSyncFileDriver::YieldStep()
{
    if (!busy.load())
        return;
    if (yieldCounter.fetch_add(1) + 1 >= kYieldEvery) {
        yieldCounter.store(0);
        Sleep(1);
    }
}
