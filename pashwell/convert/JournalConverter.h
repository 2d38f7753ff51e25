// Conversion of a Lorimant journal (a spreadsheet macro) into a MATLAB script
// that replays the same calls on a MATLAB section object.
#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace pashwell {

// Lines longer than this (after the line end is removed) are dropped without
// being matched: the regular-expression engine recurses once per character
// and would run out of stack. Real journal lines stay near 1,000 characters.
inline constexpr std::size_t kMaxLineLength = 2048;

// Outcome of converting one journal file.
enum class ConversionStatus {
    Done,             // the script was written completely
    JournalNotOpened, // the journal could not be opened; no script written
    SameFile,         // the script path names the journal itself; nothing written
    ScriptNotOpened,  // the script could not be created
    ReadFailed,       // the journal could not be read to its end; no script kept
    WriteFailed,      // the script could not be written completely; no script kept
};

// The six lines that open every script: they put the MATLAB class on the
// path, create the section object and clear it.
const std::vector<std::string>& scriptPreamble();

// Appends the script lines for one journal line (its "\n" already removed;
// one trailing "\r" is removed here) to `script`. Lines no rule takes, and
// lines longer than kMaxLineLength, append nothing.
void convertLine(std::string_view line, std::vector<std::string>& script);

// Rewrites the macro language's double-quoted texts in `text` as MATLAB
// single-quoted texts: the delimiters become apostrophes, a doubled quote
// inside a text becomes one quote, and an apostrophe inside a text is doubled.
std::string toMatlabQuotes(std::string_view text);

// What a conversion met besides its outcome: the lines it left out for
// their length.
struct ConversionNotes {
    std::size_t longLinesDropped = 0; // lines longer than kMaxLineLength
    std::size_t firstLongLine = 0;    // number (from 1) of the first of them; 0 for none
};

// Converts the journal read from `journal` line by line into `script`,
// writing each script line with a line end and a flush. A line longer than
// kMaxLineLength is skipped as it is read, never held in memory whole, and
// counted in `notes` (when given). Returns Done, ReadFailed when the journal
// stream fails other than at its end, or WriteFailed (and stops) when a
// write fails.
ConversionStatus convertJournal(std::istream& journal, std::ostream& script,
                                ConversionNotes* notes = nullptr);

// Converts the journal file at `journalPath` into the script file at
// `scriptPath` (created or truncated). Only a regular file is read as a
// journal (a device or pipe could block or never end: JournalNotOpened).
// When the journal cannot be opened or the script path names the journal,
// no file is created or changed; when reading or writing fails part way,
// the partial script is removed.
ConversionStatus convertJournal(const std::filesystem::path& journalPath,
                                const std::filesystem::path& scriptPath,
                                ConversionNotes* notes = nullptr);

// The message that tells the user which lines were left out for their
// length; empty when none was.
std::string longLinesText(const ConversionNotes& notes);

// The message that tells the user why a conversion failed; empty for Done.
std::string conversionFailureText(ConversionStatus status,
                                  const std::filesystem::path& journalPath,
                                  const std::filesystem::path& scriptPath);

} // namespace pashwell
