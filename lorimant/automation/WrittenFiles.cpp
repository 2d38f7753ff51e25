#include "lorimant/automation/WrittenFiles.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <utility>

namespace {

struct Written {
    std::mutex mutex;
    std::vector<std::string> paths;
};

Written& written()
{
    static Written list;
    return list;
}

}  // namespace

void NoteFileWritten(const CString& path)
{
    std::error_code ec;
    std::filesystem::path file = std::filesystem::absolute(std::filesystem::path(path.ToUtf8()), ec);
    if (ec) return;
    const std::string text = file.lexically_normal().string();
    Written& w = written();
    std::lock_guard<std::mutex> lock(w.mutex);
    if (std::find(w.paths.begin(), w.paths.end(), text) == w.paths.end()) w.paths.push_back(text);
}

std::vector<std::string> TakeWrittenFiles()
{
    Written& w = written();
    std::lock_guard<std::mutex> lock(w.mutex);
    return std::exchange(w.paths, {});
}
