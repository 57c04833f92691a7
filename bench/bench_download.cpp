// The installer download against the floor of the same transfer: the download
// client and the curl tool each fetch 64 MiB from a loopback server into a
// file. Reported: both rates, their ratio and processor time per MiB.
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <thread>

#include "net/httpcli.h"

namespace {

constexpr std::size_t kBody = 64u << 20;
constexpr double kMiB = 1024.0 * 1024.0;

struct Server {
    httplib::Server http;
    std::string body = std::string(kBody, '\x5A');
    int port = 0;
    std::thread thread;
    Server() {
        http.Get("/quintelle/qtlsetup.exe",
                 [this](const httplib::Request&, httplib::Response& res) {
                     res.set_content(body, "application/octet-stream");
                 });
        port = http.bind_to_any_port("127.0.0.1");
        thread = std::thread([this] { http.listen_after_bind(); });
        while (!http.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~Server() {
        http.stop();
        thread.join();
    }
    QString url() const {
        return QStringLiteral("http://127.0.0.1:%1/quintelle/qtlsetup.exe").arg(port);
    }
};

Server* server = nullptr;
QTemporaryDir* folder = nullptr;
double clientRate = 0, curlRate = 0;

double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void report(benchmark::State& state, double seconds, double cpu, double& rate) {
    const double mib = static_cast<double>(kBody) * static_cast<double>(state.iterations()) / kMiB;
    rate = mib / seconds;
    state.counters["MiB/s"] = rate;
    state.counters["cpu_ms_per_MiB"] = cpu * 1000.0 / mib;
}

void BM_DownloadClient(benchmark::State& state) {
    double wall = 0, cpu = 0;
    for (auto _ : state) {
        QFile file(folder->filePath(QStringLiteral("client.exe")));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        THttpCli client;
        client.URL = server->url();
        client.ReceiveStream = &file;
        const auto start = std::chrono::steady_clock::now();
        const double cpu0 = threadCpuSeconds();
        client.RunGet();
        file.close();
        cpu += threadCpuSeconds() - cpu0;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (file.size() != static_cast<qint64>(kBody)) state.SkipWithError("short download");
    }
    report(state, wall, cpu, clientRate);
}

void BM_DownloadCurl(benchmark::State& state) {
    const QByteArray target = folder->filePath(QStringLiteral("curl.exe")).toLocal8Bit();
    const QByteArray url = server->url().toLocal8Bit();
    double wall = 0, cpu = 0;
    for (auto _ : state) {
        const double cpu0 = childCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            execlp("curl", "curl", "-s", "-o", target.constData(), url.constData(), nullptr);
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += childCpuSeconds() - cpu0;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("curl failed");
    }
    report(state, wall, cpu, curlRate);
}

BENCHMARK(BM_DownloadCurl)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_DownloadClient)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    Server local;
    folder = &dir;
    server = &local;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (curlRate > 0)
        std::printf("download client / curl rate: %.2f (%.0f vs %.0f MiB/s)\n",
                    clientRate / curlRate, clientRate, curlRate);
    return 0;
}
