// Journals with lines far beyond the limit: memory stays bounded, the line
// is reported as left out, and files that never end are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <string>
#include <sys/stat.h>

#include "pashwell/convert/JournalConverter.h"

namespace {

using pashwell::ConversionNotes;
using pashwell::ConversionStatus;
using pashwell::convertJournal;

// A journal produced piece by piece: a head, `fill` characters 'x' and a
// tail, without ever holding the fill in memory.
class GeneratedJournal : public std::streambuf {
public:
    GeneratedJournal(std::string head, std::size_t fill, std::string tail)
        : head_(std::move(head)), fill_(fill), tail_(std::move(tail))
    {
        std::fill(std::begin(chunk_), std::end(chunk_), 'x');
    }

protected:
    int_type underflow() override
    {
        if (stage_ == 0) {
            stage_ = 1;
            if (!head_.empty()) {
                setg(head_.data(), head_.data(), head_.data() + head_.size());
                return traits_type::to_int_type(*gptr());
            }
        }
        if (stage_ == 1 && fill_ > 0) {
            const std::size_t n = std::min(fill_, sizeof chunk_);
            fill_ -= n;
            setg(chunk_, chunk_, chunk_ + n);
            return traits_type::to_int_type(*gptr());
        }
        if (stage_ == 1) {
            stage_ = 2;
            setg(tail_.data(), tail_.data(), tail_.data() + tail_.size());
            if (!tail_.empty())
                return traits_type::to_int_type(*gptr());
        }
        return traits_type::eof();
    }

private:
    std::string head_;
    std::size_t fill_;
    std::string tail_;
    char chunk_[1 << 16];
    int stage_ = 0;
};

// A field of /proc/self/status in kB, or -1.
long statusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field)));
    return -1;
}

// Resets the peak resident size of this process; false when the system
// does not allow it.
bool resetPeakMemory()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

} // namespace

// One line of 100 MB between two ordinary ones: converted with far less
// memory than the line (the limit asked for is 50 MB more than an empty
// journal), the line reported as left out.
TEST(PashwellLongLines, HundredMegabyteLineIsSkippedAsItIsRead)
{
    if (!resetPeakMemory())
        GTEST_SKIP() << "the peak resident size cannot be reset here";
    std::ostringstream emptyScript;
    std::istringstream empty("");
    ASSERT_EQ(convertJournal(empty, emptyScript), ConversionStatus::Done);
    const long baseline = statusKb("VmHWM:");
    ASSERT_GT(baseline, 0);

    GeneratedJournal journal("xscn.ClearAll\r\nxscn.AddPoint \"", 100u << 20, "\"\r\nxscn.Undo\r\n");
    std::istream in(&journal);
    std::ostringstream script;
    ConversionNotes notes;
    ASSERT_EQ(convertJournal(in, script, &notes), ConversionStatus::Done);
    const long peak = statusKb("VmHWM:");
    EXPECT_LT(peak - baseline, 50 * 1024) << "kB above the empty journal's peak";

    EXPECT_NE(script.str().find("xscn.ClearAll();\n"), std::string::npos);
    EXPECT_EQ(script.str().substr(script.str().size() - 13), "xscn.Undo();\n");
    EXPECT_EQ(notes.longLinesDropped, 1u);
    EXPECT_EQ(notes.firstLongLine, 2u);
    EXPECT_EQ(pashwell::longLinesText(notes),
              "Line 2 of the log file is longer than 2048 characters and was left out of the MATLAB file.");
}

// Lines at the limit (with and without CR) are kept; one more character,
// anywhere in the line, drops it; several dropped lines are counted.
TEST(PashwellLongLines, LimitAndCounting)
{
    const std::string atLimit = "'" + std::string(2047, 'a');
    const std::string over = atLimit + "b";
    std::istringstream journal(atLimit + "\r\n" + over + "\n" + atLimit + "\n" + over + "\r\n" + over);
    std::ostringstream script;
    ConversionNotes notes;
    ASSERT_EQ(convertJournal(journal, script, &notes), ConversionStatus::Done);
    const std::string kept = "%" + std::string(2047, 'a') + "\n";
    EXPECT_EQ(script.str(), kept + kept);
    EXPECT_EQ(notes.longLinesDropped, 3u);
    EXPECT_EQ(notes.firstLongLine, 2u);
    EXPECT_EQ(pashwell::longLinesText(notes),
              "3 lines of the log file, the first of them line 2, are longer than 2048 characters and were "
              "left out of the MATLAB file.");
    EXPECT_EQ(pashwell::longLinesText(ConversionNotes{}), "");
}

// Files that are not regular files are refused before they are opened: a
// device that never ends, and a pipe whose opening would block.
TEST(PashwellLongLines, EndlessAndBlockingFilesAreRefused)
{
    const auto dir = std::filesystem::temp_directory_path() / ("pashwell_fifo_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto fifo = dir / "journal.log";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(convertJournal("/dev/zero", dir / "a.m"), ConversionStatus::JournalNotOpened);
    EXPECT_EQ(convertJournal(fifo, dir / "b.m"), ConversionStatus::JournalNotOpened);
    EXPECT_FALSE(std::filesystem::exists(dir / "a.m"));
    EXPECT_FALSE(std::filesystem::exists(dir / "b.m"));
    std::filesystem::remove_all(dir);
}
