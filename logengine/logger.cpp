#include "logengine/logger.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <thread>

#include "logengine/filedevice.h"
#include "logengine/platform.h"

namespace FNLog {

// One channel at run time: its configuration, its ring and its outputs.
struct Channel {
    ChannelConfig config;
    std::atomic<int> runState{CHANNEL_STATE_NONE};
    std::atomic<uint64_t> ringEpoch{0};  // changes whenever the ring indices are reset

    // Ring positions count up without wrapping (64 bits will not run out); a slot is
    // position % kRingSize. Counting modulo the ring size instead would let a producer
    // stalled inside a compare-and-swap mistake a position one lap later for its own.
    alignas(64) std::atomic<uint64_t> claim{0};   // next slot a producer claims
    alignas(64) std::atomic<uint64_t> commit{0};  // end of the filled run the consumer may take
    alignas(64) std::atomic<uint64_t> take{0};    // next slot the consumer takes
    alignas(64) std::atomic<uint64_t> free{0};    // end of the run given back to producers

    // The consumer between its polls and producers waiting on a full ring sleep here; every
    // wait is also bounded by kPollInterval so that a missed wake-up costs at most one
    // interval.
    alignas(64) std::atomic<int> consumerIdle{0};
    std::atomic<int> producersWaiting{0};
    std::mutex waitMutex;
    std::condition_variable consumerWake;
    std::condition_variable producerWake;

    std::mutex outputMutex;  // serialises device output of a sync channel
    std::thread thread;
    FileDevice files[kMaxDevices];
    LogRecord records[kRingSize];
};

struct RuntimeBlock {
    int channelCount = 0;
    Channel channels[kMaxChannels];
};

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);
constexpr int kClaimTries = kRingSize;
constexpr int kFlushEvery = 10000;
// Records waiting before a producer wakes the consumer ahead of its next poll: a wake per
// record would cost every line a thread switch, a quarter of the ring spares a burst the
// wait on a full ring.
constexpr uint64_t kWakeBacklog = kRingSize / 4;
constexpr int kFullSpins = 200;
constexpr int kFreeBatch = 32;
constexpr int kStartWaitSteps = 100;

std::mutex& ConsoleLock()
{
    static std::mutex lock;
    return lock;
}

bool ValidChannelCount(int count)
{
    return count >= 1 && count <= kMaxChannels;
}

std::atomic<uint64_t> gRingEpochs{0};

// Each producer thread remembers the free index it saw last, so that the cache line the
// consumer keeps writing is read only when the ring looks full. The free index only
// grows between two resets of the ring; the epoch tells a value from before a reset
// (or from another engine at the same address) apart.
struct FreeCache {
    const Channel* channel = nullptr;
    uint64_t epoch = 0;
    uint64_t free = 0;
};
thread_local FreeCache tlsFree;

bool RingFull(const Channel& ch, uint64_t claim)
{
    FreeCache& cache = tlsFree;
    uint64_t epoch = ch.ringEpoch.load(std::memory_order_acquire);
    if (cache.channel == &ch && cache.epoch == epoch && claim - cache.free < kRingSize - 1)
        return false;
    cache.channel = &ch;
    cache.epoch = epoch;
    cache.free = ch.free.load(std::memory_order_acquire);
    return claim - cache.free >= kRingSize - 1;
}

bool DeviceTakes(const DeviceConfig& device, int priority)
{
    int p = priority > PRIORITY_FATAL ? PRIORITY_FATAL : priority;
    return device.enabled && p >= device.priority;
}

// Moves `index` forward over the run of slots in state `wanted`, stopping at `limit`.
// Safe for several threads at once: each step is a compare-and-swap.
void AdvanceOver(Channel& ch, std::atomic<uint64_t>& index, const std::atomic<uint64_t>& limit, uint32_t wanted)
{
    for (;;) {
        uint64_t i = index.load();
        if (i == limit.load())
            return;
        if (ch.records[i % kRingSize].slotState.load() != wanted)
            return;
        index.compare_exchange_strong(i, i + 1);
    }
}

void WakeConsumer(Channel& ch)
{
    if (ch.commit.load() - ch.take.load() >= kWakeBacklog && ch.consumerIdle.load() != 0) {
        std::lock_guard<std::mutex> lock(ch.waitMutex);
        ch.consumerWake.notify_one();
    }
}

void WakeProducers(Channel& ch)
{
    if (ch.producersWaiting.load() != 0) {
        std::lock_guard<std::mutex> lock(ch.waitMutex);
        ch.producerWake.notify_all();
    }
}

}  // namespace

Logger::Logger()
{
    platform::PrepareConsoleInput();
}

Logger::~Logger()
{
    while (state_.load() != LOGGER_STATE_UNINIT) {
        if (StopLogger() != E_SUCCESS)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void Logger::SetClock(ClockFn clock)
{
    clock_.store(clock);
}

int Logger::ParseAndStartLogger(std::string_view text)
{
    if (state_.load() != LOGGER_STATE_UNINIT) {
        std::printf("ParseAndStartLogger error. state:<%u> not uninit:<%u> by fast try.\n",
                    static_cast<unsigned>(state_.load()), 0u);
        return E_LOGGER_IN_USE;
    }
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (state_.load() != LOGGER_STATE_UNINIT) {
        std::printf("ParseAndStartLogger error. state:<%u> not uninit:<%u> in locked check.\n",
                    static_cast<unsigned>(state_.load()), 0u);
        return E_LOGGER_IN_USE;
    }
    int ret = InitFromYMAL(text, "");
    if (ret != E_SUCCESS) {
        std::printf("ParseAndStartLogger error. ret:<%d>:%s.\n", ret, ErrorText(ret));
        return ret;
    }
    ret = StartLogger();
    if (ret != E_SUCCESS) {
        std::printf("ParseAndStartLogger error. ret:<%d>.\n", ret);
        return ret;
    }
    return E_SUCCESS;
}

int Logger::InitFromYMAL(std::string_view text, const std::string& path)
{
    if (state_.load() != LOGGER_STATE_UNINIT) {
        std::printf("InitFromYMAL:<%s> text error\n", path.c_str());
        return E_LOGGER_IN_USE;
    }
    auto config = std::make_unique<LoggerConfig>();
    ParseResult parsed = ParseLogger(text, *config);
    if (parsed.code != E_SUCCESS) {
        std::printf("%s\n", ParseErrorReport(parsed, text).c_str());
        return parsed.code;
    }
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (state_.load() != LOGGER_STATE_UNINIT) {
        std::printf("InitFromYMAL:<%s> text error\n", path.c_str());
        return E_LOGGER_IN_USE;
    }
    configPath_ = path;
    if (!runtime_)
        runtime_ = std::make_unique_for_overwrite<RuntimeBlock>();  // see LogRecord::text
    runtime_->channelCount = config->channelCount;
    for (int c = 0; c < kMaxChannels; ++c) {
        Channel& ch = runtime_->channels[c];
        ch.config = config->channels[c];
        ch.runState.store(CHANNEL_STATE_NONE);
        for (FileDevice& file : ch.files)
            file.Reset();
        ResetRing(ch);
    }
    if (!ValidChannelCount(config->channelCount)) {
        std::printf("InitFromYMAL channel size:%d out channel max%d. \n", config->channelCount, kMaxChannels);
        return E_INVALID_CHANNEL_SIZE;
    }
    return E_SUCCESS;
}

int Logger::StartLogger()
{
    if (state_.load() != LOGGER_STATE_UNINIT) {
        std::printf("StartLogger error. state:<%u> not uninit:<%u>.\n", static_cast<unsigned>(state_.load()), 0u);
        return E_LOGGER_IN_USE;
    }
    if (!runtime_) {
        std::printf("StartLogger error. logger not init %p.\n", static_cast<void*>(runtime_.get()));
        return E_LOGGER_NOT_INIT;
    }
    if (!ValidChannelCount(runtime_->channelCount)) {
        std::printf("StartLogger error. logger invalid channel size: %d.\n", runtime_->channelCount);
        return E_INVALID_CHANNEL_SIZE;
    }
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (state_.load() != LOGGER_STATE_UNINIT) {
        std::printf("StartLogger error. state:<%u> not uninit:<%u>.\n", static_cast<unsigned>(state_.load()), 0u);
        return E_LOGGER_IN_USE;
    }
    if (!ValidChannelCount(runtime_->channelCount)) {
        std::printf("StartLogger error. channel size:<%d> invalid.\n", runtime_->channelCount);
        return E_INVALID_CHANNEL_SIZE;
    }
    state_.store(LOGGER_STATE_STARTING);
    int ret = StartChannels();
    if (ret != E_SUCCESS) {
        StopChannels();
        state_.store(LOGGER_STATE_UNINIT);
        std::printf("StartLogger error. StartChannels failed. channel size:<%d>. \n", runtime_->channelCount);
        return ret;
    }
    state_.store(LOGGER_STATE_RUNNING);
    return E_SUCCESS;
}

int Logger::StartChannels()
{
    for (int c = 0; c < runtime_->channelCount; ++c) {
        Channel& ch = runtime_->channels[c];
        if (ch.config.mode == CHANNEL_SYNC) {
            ch.runState.store(CHANNEL_STATE_RUNNING);
            continue;
        }
        if (ch.config.mode != CHANNEL_ASYNC) {
            std::printf("%s", "unknown channel type");
            return E_INVALID_CHANNEL_SYNC;
        }
        try {
            ch.thread = std::thread([this, &ch] {
                if (channelStartHook_)
                    channelStartHook_();
                ChannelLoop(ch);
            });
        } catch (const std::system_error&) {
            std::printf("StartChannels %s", "start async log thread has error.\n");
            return E_CHANNEL_THREAD_FAILED;
        }
        for (int i = 0; i < kStartWaitSteps && ch.runState.load() == CHANNEL_STATE_NONE; ++i)
            std::this_thread::sleep_for(kPollInterval);
        int runState = ch.runState.load();
        if (runState == CHANNEL_STATE_NONE) {
            std::printf("StartChannels %s", "start async log thread timeout.\n");
            return E_CHANNEL_THREAD_FAILED;
        }
        if (runState != CHANNEL_STATE_RUNNING) {
            std::printf("StartChannels %s", "start async log thread has inner error.\n");
            return E_INVALID_CHANNEL_STATE;
        }
    }
    return E_SUCCESS;
}

int Logger::StopLogger()
{
    int count = runtime_ ? runtime_->channelCount : 0;
    if (!ValidChannelCount(count)) {
        std::printf("StopLogger error. channel size:<%d> invalid.\n", count);
        return E_INVALID_CHANNEL_SIZE;
    }
    if (state_.load() != LOGGER_STATE_RUNNING) {
        std::printf("StopLogger logger error. state:<%u> not running:<%u>.\n", static_cast<unsigned>(state_.load()),
                    2u);
        return E_LOGGER_NOT_RUNNING;
    }
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (state_.load() != LOGGER_STATE_RUNNING) {
        std::printf("StopLogger logger error. state:<%u> not running:<%u>.\n", static_cast<unsigned>(state_.load()),
                    2u);
        return E_LOGGER_NOT_RUNNING;
    }
    state_.store(LOGGER_STATE_STOPPING);
    int ret = StopChannels();
    if (ret != E_SUCCESS)
        return ret;
    for (int c = 0; c < kMaxChannels; ++c) {
        Channel& ch = runtime_->channels[c];
        ResetRing(ch);
        for (FileDevice& file : ch.files)
            file.Close();
    }
    state_.store(LOGGER_STATE_UNINIT);
    return E_SUCCESS;
}

int Logger::StopChannels()
{
    for (int c = 0; c < runtime_->channelCount; ++c) {
        Channel& ch = runtime_->channels[c];
        if (ch.config.mode == CHANNEL_ASYNC) {
            if (ch.thread.joinable()) {
                // Stored whatever the state: a thread that has not come up yet (its start
                // timed out) must see the stop too, or the join would wait for ever.
                ch.runState.store(CHANNEL_STATE_STOPPING);
                {
                    std::lock_guard<std::mutex> lock(ch.waitMutex);
                    ch.consumerWake.notify_all();
                    ch.producerWake.notify_all();
                }
                ch.thread.join();
            }
        } else if (ch.config.mode != CHANNEL_SYNC) {
            std::printf("StopChannels %s", "unknown channel type");
            return E_INVALID_CHANNEL_SYNC;
        }
        ch.runState.store(CHANNEL_STATE_NONE);
        std::lock_guard<std::mutex> lock(ch.waitMutex);
        ch.producerWake.notify_all();
    }
    return E_SUCCESS;
}

void Logger::ResetRing(Channel& ch)
{
    // Slots still claimed by a producer that was cut off by the stop are given back too,
    // so that the next start finds every slot free.
    for (LogRecord& record : ch.records)
        record.slotState.store(SLOT_FREE);
    ch.claim.store(0);
    ch.commit.store(0);
    ch.take.store(0);
    ch.free.store(0);
    ch.ringEpoch.store(gRingEpochs.fetch_add(1) + 1);
}

LogRecord* Logger::OpenRecord(int channel, int priority)
{
    if (!runtime_ || channel < 0 || channel >= runtime_->channelCount)
        return nullptr;
    if (state_.load() != LOGGER_STATE_RUNNING)
        return nullptr;
    Channel& ch = runtime_->channels[channel];
    if (ch.runState.load() != CHANNEL_STATE_RUNNING || priority < ch.config.priority)
        return nullptr;
    bool taken = false;
    for (int d = 0; d < ch.config.deviceCount && !taken; ++d)
        taken = DeviceTakes(ch.config.devices[d], priority);
    if (!taken)
        return nullptr;

    LogRecord* record = nullptr;
    bool waiting = false;
    int spins = 0;
    while (record == nullptr) {
        for (int i = 0; i < kClaimTries; ++i) {
            if (ch.runState.load(std::memory_order_acquire) != CHANNEL_STATE_RUNNING)
                break;
            uint64_t k = ch.claim.load(std::memory_order_acquire);
            if (RingFull(ch, k))
                break;
            if (ch.claim.compare_exchange_weak(k, k + 1)) {
                record = &ch.records[k % kRingSize];
                record->slotState.store(SLOT_CLAIMED, std::memory_order_release);
                break;
            }
        }
        if (record != nullptr || ch.runState.load() != CHANNEL_STATE_RUNNING)
            break;
        if (!waiting) {
            waiting = true;
            ch.producersWaiting.fetch_add(1);
        }
        // The consumer usually frees slots within microseconds; sleep only when it
        // does not.
        if (++spins <= kFullSpins) {
            std::this_thread::yield();
            continue;
        }
        std::unique_lock<std::mutex> lock(ch.waitMutex);
        if (RingFull(ch, ch.claim.load()) && ch.runState.load() == CHANNEL_STATE_RUNNING)
            ch.producerWake.wait_for(lock, kPollInterval);
    }
    if (waiting)
        ch.producersWaiting.fetch_sub(1);
    if (record == nullptr)
        return nullptr;

    ClockFn clock = clock_.load();
    LogTime now = clock != nullptr ? clock() : SystemNow();
    record->channel = channel;
    record->priority = priority;
    record->timestamp = now.sec;
    record->milliseconds = now.ms;
    int length = FormatTimePrefix(now.sec, now.ms, record->text);
    record->text[length++] = ' ';
    record->prefixLength = length;
    record->textLength = length;
    return record;
}

void Logger::Append(LogRecord* record, std::string_view text)
{
    size_t room = static_cast<size_t>(kRecordTextSize - record->textLength);
    size_t n = text.size() < room ? text.size() : room;
    std::memcpy(record->text + record->textLength, text.data(), n);
    record->textLength += static_cast<int>(n);
}

void Logger::AppendNumber(LogRecord* record, uint64_t value)
{
    if (kRecordTextSize - record->textLength < kNumberRoom)
        return;
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    char* out = record->text + record->textLength;
    for (int i = 0; i < n; ++i)
        out[i] = digits[n - 1 - i];
    record->textLength += n;
}

int Logger::SubmitRecord(LogRecord* record)
{
    if (!runtime_ || record->channel < 0 || record->channel >= runtime_->channelCount)
        return E_INVALID_CHANNEL_SIZE;
    Channel& ch = runtime_->channels[record->channel];
    if (record < &ch.records[0] || record >= &ch.records[kRingSize])
        return E_INVALID_RECORD;
    if (ch.runState.load() != CHANNEL_STATE_RUNNING)
        return E_LOGGER_NOT_RUNNING;

    int length = record->textLength < kMaxLineText ? record->textLength : kMaxLineText;
    record->text[length++] = '\r';
    record->text[length++] = '\n';
    record->text[length] = '\0';
    record->textLength = length;
    record->slotState.exchange(SLOT_FILLED);
    AdvanceOver(ch, ch.commit, ch.claim, SLOT_FILLED);

    if (ch.config.mode == CHANNEL_SYNC) {
        if (ch.runState.load() == CHANNEL_STATE_RUNNING)
            RunPass(ch);
    } else {
        WakeConsumer(ch);
    }
    return E_SUCCESS;
}

void Logger::WriteRecord(Channel& ch, LogRecord& record)
{
    for (int d = 0; d < ch.config.deviceCount; ++d) {
        const DeviceConfig& device = ch.config.devices[d];
        if (!device.enabled || record.priority < device.priority)
            continue;
        std::unique_lock<std::mutex> lock(ch.outputMutex, std::defer_lock);
        if (ch.config.mode == CHANNEL_SYNC)
            lock.lock();
        switch (device.kind) {
        case DEVICE_FILE:
            ch.files[d].Write(device, ch.config.index, record.timestamp, record.text,
                              static_cast<size_t>(record.textLength));
            break;
        case DEVICE_SCREEN: {
            std::lock_guard<std::mutex> console(ConsoleLock());
            platform::PrintToConsole(record.text, static_cast<size_t>(record.textLength), record.priority);
            break;
        }
        default:
            break;  // kinds without an output in this program
        }
    }
}

void Logger::FlushDevices(Channel& ch)
{
    std::unique_lock<std::mutex> lock(ch.outputMutex, std::defer_lock);
    if (ch.config.mode == CHANNEL_SYNC)
        lock.lock();
    for (FileDevice& file : ch.files)
        file.Flush();
}

int Logger::RunPass(Channel& ch)
{
    int written = 0;
    int sinceFlush = 0;
    bool more = true;
    while (more) {
        uint64_t t = ch.take.load(std::memory_order_acquire);
        uint64_t end = ch.commit.load(std::memory_order_acquire);
        if (t == end)
            break;
        if (end - t > kFreeBatch)
            end = t + kFreeBatch;
        // Take a batch of committed records, then give the slots back in one step.
        for (; t != end; ++t) {
            uint64_t expected = t;
            if (!ch.take.compare_exchange_strong(expected, t + 1)) {
                more = false;  // another thread of a sync channel took it
                break;
            }
            LogRecord& record = ch.records[t % kRingSize];
            WriteRecord(ch, record);
            record.slotState.store(SLOT_FREE, std::memory_order_release);
            ++written;
            if (++sinceFlush > kFlushEvery) {
                FlushDevices(ch);
                sinceFlush = 0;
            }
        }
        AdvanceOver(ch, ch.free, ch.take, SLOT_FREE);
        WakeProducers(ch);
    }
    int none = CHANNEL_STATE_NONE;
    ch.runState.compare_exchange_strong(none, CHANNEL_STATE_RUNNING);
    if (written > 0)
        FlushDevices(ch);
    return written;
}

void Logger::IdleWait(Channel& ch)
{
    // Records that came meanwhile wait for the next poll unless many wait already; a
    // producer wakes the channel when that many do.
    std::unique_lock<std::mutex> lock(ch.waitMutex);
    ch.consumerIdle.store(1);
    if (ch.commit.load() - ch.take.load() < kWakeBacklog && ch.runState.load() == CHANNEL_STATE_RUNNING)
        ch.consumerWake.wait_for(lock, kPollInterval);
    ch.consumerIdle.store(0);
}

void Logger::ChannelLoop(Channel& ch)
{
    for (;;) {
        int written = RunPass(ch);
        if (ch.runState.load() == CHANNEL_STATE_RUNNING) {
            if (written == 0)
                IdleWait(ch);
            continue;
        }
        // Stopping: drain everything committed, then report the thread finished.
        if (ch.free.load() == ch.commit.load()) {
            ch.runState.store(CHANNEL_STATE_FINISHED);
            return;
        }
    }
}

int Logger::channelCount() const
{
    return runtime_ ? runtime_->channelCount : 0;
}

int Logger::channelRunState(int channel) const
{
    if (!runtime_ || channel < 0 || channel >= kMaxChannels)
        return CHANNEL_STATE_NONE;
    return runtime_->channels[channel].runState.load();
}

bool Logger::hasChannelThread(int channel) const
{
    if (!runtime_ || channel < 0 || channel >= kMaxChannels)
        return false;
    return runtime_->channels[channel].thread.joinable();
}

int Logger::producersWaiting(int channel) const
{
    if (!runtime_ || channel < 0 || channel >= kMaxChannels)
        return 0;
    return runtime_->channels[channel].producersWaiting.load();
}

const ChannelConfig* Logger::channelConfig(int channel) const
{
    if (!runtime_ || channel < 0 || channel >= runtime_->channelCount)
        return nullptr;
    return &runtime_->channels[channel].config;
}

const FileDevice* Logger::fileDevice(int channel, int device) const
{
    if (!runtime_ || channel < 0 || channel >= kMaxChannels || device < 0 || device >= kMaxDevices)
        return nullptr;
    return &runtime_->channels[channel].files[device];
}

Logger& DefaultLogger()
{
    static Logger logger;
    return logger;
}

int ParseAndStartLogger(std::string_view text)
{
    return DefaultLogger().ParseAndStartLogger(text);
}
int InitFromYMAL(std::string_view text, const std::string& path)
{
    return DefaultLogger().InitFromYMAL(text, path);
}
int StartLogger()
{
    return DefaultLogger().StartLogger();
}
int StopLogger()
{
    return DefaultLogger().StopLogger();
}

}  // namespace FNLog
