// Lines per second until everything is on disk: producers write one million lines of
// about 80 bytes (a text and two numbers, the shape of a report line), then the logger
// is stopped, which drains its queue and closes the file; the file's lines are counted.
#include <benchmark/benchmark.h>

#include <spdlog/async.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "logengine/logger.h"

namespace fs = std::filesystem;

namespace {

constexpr int kLines = 1000000;
constexpr const char* kText = "sync file ok: D:\\mir\\v1\\Mir200\\Envir\\Npc.txt";
constexpr unsigned kLineTag = 136;

const char* kEngineConfig = " - channel: 0\n"
                            "    sync: async\n"
                            "    -device: 0\n"
                            "        disable: false\n"
                            "        out_type: file\n"
                            "        file: \"engine\"\n"
                            "        stuff_up: true\n";

// Median lines per second of each benchmark, by name and producer count.
std::map<std::string, std::vector<double>> gRates;

fs::path FreshDir(const std::string& name)
{
    fs::path dir = fs::temp_directory_path() / ("logbench_" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

long CountLines(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    long lines = 0;
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        lines += std::count(buffer.data(), buffer.data() + in.gcount(), '\n');
    }
    return lines;
}

template <typename Produce>
void RunProducers(int producers, Produce produce)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < producers; ++t) {
        int first = kLines / producers * t;
        int last = t + 1 == producers ? kLines : first + kLines / producers;
        threads.emplace_back([&produce, first, last] { produce(first, last); });
    }
    for (std::thread& thread : threads)
        thread.join();
}

void Report(benchmark::State& state, const std::string& name, double seconds, long lines)
{
    state.SetIterationTime(seconds);
    state.counters["lines_per_s"] = benchmark::Counter(static_cast<double>(lines) / seconds);
    state.counters["lost"] = static_cast<double>(kLines - lines);
    if (lines != kLines)
        state.SkipWithError("lines were lost");
    gRates[name + "/" + std::to_string(state.range(0))].push_back(lines / seconds);
}

void BM_Engine(benchmark::State& state)
{
    const int producers = static_cast<int>(state.range(0));
    for (auto _ : state) {
        fs::path dir = FreshDir("engine");
        fs::path previous = fs::current_path();
        fs::current_path(dir);
        FNLog::Logger logger;
        if (logger.ParseAndStartLogger(kEngineConfig) != FNLog::E_SUCCESS) {
            state.SkipWithError("engine did not start");
            break;
        }
        auto start = std::chrono::steady_clock::now();
        RunProducers(producers, [&logger](int first, int last) {
            for (int i = first; i < last; ++i) {
                FNLog::LogRecord* record = logger.OpenRecord(0, FNLog::PRIORITY_INFO);
                FNLog::Logger::Append(record, kText);
                FNLog::Logger::Append(record, ", ERROR:");
                FNLog::Logger::AppendNumber(record, static_cast<uint64_t>(i));
                FNLog::Logger::Append(record, ", LINE:");
                FNLog::Logger::AppendNumber(record, kLineTag);
                logger.SubmitRecord(record);
            }
        });
        logger.StopLogger();
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        fs::current_path(previous);
        Report(state, "engine", seconds, CountLines(dir / "engine.log"));
        fs::remove_all(dir);
    }
}

void BM_Spdlog(benchmark::State& state)
{
    const int producers = static_cast<int>(state.range(0));
    for (auto _ : state) {
        fs::path dir = FreshDir("spdlog");
        fs::path file = dir / "spdlog.log";
        spdlog::init_thread_pool(8192, 1);
        auto logger = spdlog::basic_logger_mt<spdlog::async_factory>("bench", file.string(), true);
        logger->set_pattern("[%Y%m%d %H:%M:%S.%e] %v");
        auto start = std::chrono::steady_clock::now();
        RunProducers(producers, [&logger](int first, int last) {
            for (int i = first; i < last; ++i)
                logger->info("{}, ERROR:{}, LINE:{}", kText, i, kLineTag);
        });
        // Dropping the logger and the thread pool drains the queue, then closes the file.
        logger.reset();
        spdlog::shutdown();
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        Report(state, "spdlog", seconds, CountLines(file));
        fs::remove_all(dir);
    }
}

BENCHMARK(BM_Engine)->Arg(1)->Arg(2)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Spdlog)->Arg(1)->Arg(2)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (int producers : {1, 2}) {
        double engine = Median(gRates["engine/" + std::to_string(producers)]);
        double other = Median(gRates["spdlog/" + std::to_string(producers)]);
        if (engine > 0 && other > 0)
            std::printf("%d producer(s): engine %.0f lines/s, spdlog %.0f lines/s, ratio %.2f\n", producers, engine,
                        other, engine / other);
    }
    return 0;
}
