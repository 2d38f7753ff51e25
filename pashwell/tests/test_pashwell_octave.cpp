// End to end: a converted journal replayed in Octave against stand-ins of the
// MATLAB section class, its polygon object, invoke and its constants.
#include "pashwell/convert/JournalConverter.h"
#include "pashwell/tests/PashwellTestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace pashwell_test;
namespace fs = std::filesystem;

namespace {

// Runs `script` in octave-cli with the stand-ins on the path and writes the
// calls they recorded, one a line, to `calls`. Returns the exit status.
int replayInOctave(const fs::path& script, const fs::path& calls, const fs::path& log)
{
    const std::string octave = PASHWELL_OCTAVE_CLI;
    const std::string program =
        "try;"
        " addpath('" + (dataPath("octave")).string() + "');"
        " global QHT_CALLS; QHT_CALLS = {};"
        " source('" + script.string() + "');"
        " fid = fopen('" + calls.string() + "', 'w');"
        " fprintf(fid, '%s\\n', QHT_CALLS{:}); fclose(fid);"
        "catch err; disp(err.message); exit(2); end";
    const std::string command = "'" + octave + "' --norc --quiet --no-window-system --eval \"" +
                                program + "\" > '" + log.string() + "' 2>&1";
    return std::system(command.c_str());
}

TEST(InteropPashwellOctave, ConvertedJournalReplaysItsCalls)
{
    ASSERT_FALSE(std::string(PASHWELL_OCTAVE_CLI).empty())
        << "octave-cli was not found when the build was configured";
    ScratchFolder dir;
    const fs::path script = dir / "replay_script.m";
    const fs::path calls = dir / "calls.txt";
    const fs::path log = dir / "octave.txt";
    ASSERT_EQ(pashwell::convertJournal(dataPath("quenholt_journal.log"), script),
              pashwell::ConversionStatus::Done);

    // Octave parses the whole script before it runs any of it: a syntax
    // error anywhere fails here.
    EXPECT_EQ(replayInOctave(script, calls, log), 0) << readBytes(log);
    EXPECT_EQ(readBytes(calls), readBytes(dataPath("quenholt_journal.calls")));
}

} // namespace
