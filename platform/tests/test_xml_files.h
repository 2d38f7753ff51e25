// Scratch folders and whole-file reads for the XML tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <unistd.h>

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class XmlScratchFolder {
public:
    XmlScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "lorimant-xml-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~XmlScratchFolder()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    XmlScratchFolder(const XmlScratchFolder&) = delete;
    XmlScratchFolder& operator=(const XmlScratchFolder&) = delete;

    // True when the folder could be made.
    bool ok() const { return !path_.empty(); }
    // A path inside the folder.
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// The whole content of a file as bytes ("" when it cannot be read).
inline std::string readXmlTestFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes bytes to a file, replacing it.
inline void writeXmlTestFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// True when xmllint finds the file well-formed (the tools set-up installs it).
inline bool xmllintAccepts(const std::filesystem::path& path)
{
    std::string command = "xmllint --noout '" + path.string() + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}
