// Helpers shared by the library's tests: storing into and loading from a
// memory archive, and the text of a thrown narrow message.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"

namespace test_support {

using Bytes = std::vector<BYTE>;

// The bytes that `write` puts into a storing archive.
inline Bytes stored(const std::function<void(CArchive&)>& write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    return file.GetBytes();
}

// Runs `read` on a loading archive over the bytes.
inline void loaded(const Bytes& bytes, const std::function<void(CArchive&)>& read)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    read(ar);
}

// The text of a const char* exception thrown by fn, or "" when none is thrown.
template <class F>
std::string thrownText(F fn)
{
    try {
        fn();
    } catch (const char* text) {
        return text;
    }
    return "";
}

}  // namespace test_support
