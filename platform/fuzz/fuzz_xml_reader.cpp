// Reads arbitrary bytes as an XML file with the pull reader: every node, its
// names and value, and the attributes the export reader asks for.
#include <cstddef>
#include <cstdint>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

#include "platform/xml/CXmlReader.h"

namespace {

// One memory file, rewritten for every input: the reader opens files by
// path, and /proc/self/fd/N names the memory file without touching the disk.
const std::wstring& memoryFilePath(int& fd)
{
    static int memoryFd = memfd_create("fuzz_xml", 0);
    static const std::wstring path = L"/proc/self/fd/" + std::to_wstring(memoryFd);
    fd = memoryFd;
    return path;
}

void touchText(CXmlReader& reader, HRESULT (CXmlReader::*getter)(const wchar_t**, UINT*))
{
    const wchar_t* text = nullptr;
    UINT length = 0;
    if ((reader.*getter)(&text, &length) == S_OK && text != nullptr && length > 0) {
        volatile wchar_t last = text[length - 1];
        (void)last;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    int fd = -1;
    const std::wstring& path = memoryFilePath(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0)
        return 0;
    if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        return 0;

    std::shared_ptr<CXmlFileStream> stream;
    if (CreateStreamOnFile(path.c_str(), XmlStreamMode::Read, stream) != S_OK)
        return 0;
    std::unique_ptr<CXmlReader> reader;
    if (CreateXmlReader(reader) != S_OK || reader->SetInput(stream) != S_OK)
        return 0;
    XmlNodeType type = XmlNodeType_None;
    for (int nodes = 0; nodes < 100000 && reader->Read(&type) == S_OK; ++nodes) {
        touchText(*reader, &CXmlReader::GetPrefix);
        touchText(*reader, &CXmlReader::GetLocalName);
        touchText(*reader, &CXmlReader::GetValue);
        if (type == XmlNodeType_Element) {
            for (const wchar_t* name : {L"name", L"Name", L"value", L"Value", L"unit"}) {
                if (reader->MoveToAttributeByName(name, nullptr) == S_OK) {
                    touchText(*reader, &CXmlReader::GetValue);
                    reader->MoveToElement();
                }
            }
        }
    }
    return 0;
}
