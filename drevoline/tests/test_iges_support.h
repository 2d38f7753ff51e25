// Helpers of the IGES reader tests: 80-column records and an in-memory
// input stream that the reader state reads from.
#pragma once

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "drevoline/iges/IgesReader.h"

namespace iges_test {

// One record: data in columns 1-72, the section letter in 73, the sequence
// number right-aligned in 74-80, and a line feed.
inline std::string record(const std::string& data, char letter, int sequence = 1)
{
    char tail[16];
    std::snprintf(tail, sizeof tail, "%c%7d\n", letter, sequence);
    std::string line = data;
    line.resize(72, ' ');
    return line + tail;
}

// A Parameter line: data in the first dataColumns columns, the directory
// pointer right-aligned up to column 72.
inline std::string parameterLine(const std::string& data, int dataColumns, int pointer, int sequence)
{
    char ptr[16];
    std::snprintf(ptr, sizeof ptr, "%*d", 72 - dataColumns, pointer);
    std::string line = data;
    line.resize(static_cast<size_t>(dataColumns), ' ');
    return record(line + ptr, 'P', sequence);
}

// The standard layout: data in columns 1-64, the pointer in 66-72.
inline std::string standardParameter(const std::string& data, int pointer, int sequence = 1)
{
    return parameterLine(data, 64, pointer, sequence);
}

// The layout of the Windows program's writer: data in columns 1-68, the
// pointer in 69-72.
inline std::string writerParameter(const std::string& data, int pointer, int sequence = 1)
{
    return parameterLine(data, 68, pointer, sequence);
}

// The text of a fixture file of tests/data/iges.
inline std::string fixture(const std::string& name)
{
    std::ifstream in(std::string(LORIMANT_TEST_DATA) + "/iges/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The reader state reading `text`; the state is cleared again afterwards.
class IgesInput {
public:
    explicit IgesInput(std::string text) : m_text(std::move(text))
    {
        m_file = fmemopen(m_text.data(), m_text.size(), "r");
        resetIgesReader(m_file);
    }
    ~IgesInput()
    {
        clearIgesDirectory();
        resetIgesReader(nullptr);
        if (m_file)
            std::fclose(m_file);
    }
    IgesInput(const IgesInput&) = delete;
    IgesInput& operator=(const IgesInput&) = delete;

private:
    std::string m_text;
    FILE* m_file = nullptr;
};

// Reads the first record of the current input (the test fails when there is none).
inline void firstLine()
{
    ASSERT_EQ(readRecordLine(), 0);
}

}  // namespace iges_test
