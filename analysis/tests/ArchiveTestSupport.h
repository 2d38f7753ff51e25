// Storing into and loading from a memory archive, for the tests of the
// library's archive records.
#pragma once

#include <functional>
#include <vector>

#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"

namespace archive_test {

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

}  // namespace archive_test
