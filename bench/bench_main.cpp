// The suite's entry point: runs every benchmark single-threaded, writes all
// runs to one CSV (LORIMANT_BENCH_CSV) and ends with a short table of each
// benchmark's time and its ours/peer ratios.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>

namespace {

// The BLAS under LAPACK and CHOLMOD read their thread counts when they are
// loaded, so a process that does not have them at 1 starts itself again
// with them set.
void ensureSingleThreaded(char** argv)
{
    bool restart = false;
    for (const char* name : {"OMP_NUM_THREADS", "OPENBLAS_NUM_THREADS"}) {
        const char* v = std::getenv(name);
        if (!v || std::strcmp(v, "1") != 0) {
            setenv(name, "1", 1);
            restart = true;
        }
    }
    if (restart)
        execv("/proc/self/exe", argv);  // returns only on failure: run as we are
}

// The console output as usual, then one line per benchmark with its time
// and the counters that compare it with a peer or record a refusal; every
// run also goes to one CSV with a column per counter of any benchmark (the
// library's own CSV wants the same counters in every benchmark).
class TableReporter : public benchmark::ConsoleReporter {
public:
    explicit TableReporter(std::string csvPath) : m_csvPath(std::move(csvPath)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            m_runs.push_back(r);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        writeCsv();
        std::printf("\n%-44s %12s  %s\n", "benchmark", "time", "ours/peer and notes");
        for (const Run& r : m_runs) {
            std::string notes;
            for (const auto& [name, c] : r.counters)
                if (isSummary(name))
                    notes += name + "=" + format(c.value) + "  ";
            if (r.error_occurred)
                notes += "skipped: " + r.error_message;
            std::printf("%-44s %9.3f %-2s  %s\n", r.benchmark_name().c_str(), r.GetAdjustedRealTime(),
                        benchmark::GetTimeUnitString(r.time_unit), notes.c_str());
        }
    }

private:
    void writeCsv() const
    {
        std::set<std::string> names;
        for (const Run& r : m_runs)
            for (const auto& c : r.counters)
                names.insert(c.first);
        std::ofstream out(m_csvPath);
        out << "name,label,iterations,real_time,cpu_time,time_unit,error";
        for (const std::string& n : names)
            out << ',' << n;
        out << '\n';
        for (const Run& r : m_runs) {
            out << '"' << r.benchmark_name() << "\",\"" << r.report_label << "\"," << r.iterations << ','
                << r.GetAdjustedRealTime() << ',' << r.GetAdjustedCPUTime() << ','
                << benchmark::GetTimeUnitString(r.time_unit) << ",\"" << r.error_message << '"';
            for (const std::string& n : names) {
                out << ',';
                const auto c = r.counters.find(n);
                if (c != r.counters.end())
                    out << format(c->second.value, 10);
            }
            out << '\n';
        }
    }

    static bool isSummary(const std::string& name)
    {
        static const char* const kinds[] = {"ratio", "skipped", "refused", "valid"};
        for (const char* k : kinds)
            if (name.find(k) != std::string::npos)
                return true;
        return false;
    }

    static std::string format(double v, int digits = 3)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.*g", digits, v);
        return buf;
    }

    std::string m_csvPath;
    std::vector<Run> m_runs;
};

}  // namespace

int main(int argc, char** argv)
{
    ensureSingleThreaded(argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TableReporter table(LORIMANT_BENCH_CSV);
    benchmark::RunSpecifiedBenchmarks(&table);
    std::printf("\nAll runs: %s\n", LORIMANT_BENCH_CSV);
    benchmark::Shutdown();
    return 0;
}
