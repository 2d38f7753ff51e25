#include "platform/core/Settings.h"

#include <algorithm>
#include <cstdint>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <pwd.h>
#include <set>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

struct LorimantSettingsKey {
    std::wstring path; // full path, e.g. HKEY_CURRENT_USER\Software\X
};

namespace {

LorimantSettingsKey rootClasses{L"HKEY_CLASSES_ROOT"};
LorimantSettingsKey rootCurrentUser{L"HKEY_CURRENT_USER"};
LorimantSettingsKey rootLocalMachine{L"HKEY_LOCAL_MACHINE"};
LorimantSettingsKey rootUsers{L"HKEY_USERS"};

thread_local DWORD lastError = 0;

wchar_t foldCase(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Keys and value names compare without regard to ASCII case, as registry
// names do: the order of the lower-cased names, without making copies.
struct NoCase {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const
    {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](wchar_t x, wchar_t y) { return foldCase(x) < foldCase(y); });
    }
};

bool sameName(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](wchar_t x, wchar_t y) { return foldCase(x) == foldCase(y); });
}

using Values = std::map<std::wstring, std::wstring, NoCase>;
using Store = std::map<std::wstring, Values, NoCase>; // key path -> values

bool isRoot(HKEY key)
{
    return key == &rootClasses || key == &rootCurrentUser || key == &rootLocalMachine || key == &rootUsers;
}

// Interned handles: one per key path, alive for the whole process.
HKEY intern(const std::wstring& path)
{
    static std::mutex mutex;
    static std::map<std::wstring, std::unique_ptr<LorimantSettingsKey>, NoCase> handles;
    for (HKEY root : {&rootClasses, &rootCurrentUser, &rootLocalMachine, &rootUsers})
        if (sameName(root->path, path))
            return root;
    std::lock_guard<std::mutex> lock(mutex);
    auto& slot = handles[path];
    if (!slot)
        slot = std::make_unique<LorimantSettingsKey>(LorimantSettingsKey{path});
    return slot.get();
}

// Joins a key path and a relative sub-key path, dropping empty components.
std::wstring join(const std::wstring& base, const wchar_t* sub)
{
    std::wstring out = base;
    if (sub == nullptr)
        return out;
    std::wstring part;
    for (const wchar_t* p = sub;; ++p) {
        if (*p == L'\\' || *p == L'\0') {
            if (!part.empty())
                out += L"\\" + part;
            part.clear();
            if (*p == L'\0')
                break;
        } else {
            part.push_back(*p);
        }
    }
    return out;
}

bool isBelow(std::wstring_view path, std::wstring_view ancestor)
{
    return path.size() > ancestor.size() + 1 && path[ancestor.size()] == L'\\' &&
           sameName(path.substr(0, ancestor.size()), ancestor);
}

// True when `key` starts with `path` and a backslash. In the store's order
// such keys form one run, starting where `path` and a backslash would stand.
bool startsBelow(std::wstring_view key, std::wstring_view path)
{
    return key.size() > path.size() && key[path.size()] == L'\\' && sameName(key.substr(0, path.size()), path);
}

// The run of keys that start with `path` and a backslash.
std::pair<Store::iterator, Store::iterator> runBelow(Store& store, const std::wstring& path)
{
    const auto first = store.lower_bound(path + L"\\");
    auto last = first;
    while (last != store.end() && startsBelow(last->first, path))
        ++last;
    return {first, last};
}

// True when some key lies below `path`; looks at the start of the run only.
bool hasKeysBelow(Store& store, const std::wstring& path)
{
    for (auto it = store.lower_bound(path + L"\\"); it != store.end() && startsBelow(it->first, path); ++it)
        if (isBelow(it->first, path))
            return true;
    return false;
}

// ---- the file ---------------------------------------------------------------

std::string escape(const std::wstring& text)
{
    std::string out;
    for (char c : wideToUtf8(text)) {
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\\':
        case '=':
        case '[':
        case ']':
        case ';':
        case '@': out.push_back('\\'); out.push_back(c); break;
        default: out.push_back(c);
        }
    }
    return out;
}

std::wstring unescape(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out.push_back(c == 'n' ? '\n' : (c == 'r' ? '\r' : c));
        } else {
            out.push_back(text[i]);
        }
    }
    return utf8ToWide(out);
}

// Position of the first '=' that is not escaped, or npos.
std::size_t separator(const std::string& line)
{
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\')
            ++i;
        else if (line[i] == '=')
            return i;
    }
    return std::string::npos;
}

std::filesystem::path storePath()
{
    return std::filesystem::path(Settings::StoreFile().ToUtf8());
}

Store parse(const std::filesystem::path& path)
{
    Store store;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    Values* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        // A name with a NUL character could never be asked for (names are
        // passed as C strings): such a section or value is left out.
        if (line[0] == '[' && line.size() >= 2 && line.back() == ']' && (line.size() < 3 || line[line.size() - 2] != '\\')) {
            std::wstring key = unescape(line.substr(1, line.size() - 2));
            current = key.find(L'\0') == std::wstring::npos ? &store[std::move(key)] : nullptr;
            continue;
        }
        const std::size_t eq = separator(line);
        if (current == nullptr || eq == std::string::npos)
            continue;
        const std::string rawName = line.substr(0, eq);
        const std::wstring name = rawName == "@" ? std::wstring() : unescape(rawName);
        if (name.find(L'\0') == std::wstring::npos)
            (*current)[name] = unescape(line.substr(eq + 1));
    }
    return store;
}

// What tells one version of the store's file from another.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    static FileStamp of(const std::filesystem::path& path)
    {
        FileStamp stamp;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return stamp;
        stamp.exists = true;
        stamp.device = st.st_dev;
        stamp.inode = st.st_ino;
        stamp.size = st.st_size;
        stamp.modified = st.st_mtim;
        return stamp;
    }
    bool operator==(const FileStamp& o) const
    {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
};

// The store held in memory: parsed from its file once, written through on
// every change, and parsed again only when the file changed on disk (another
// process, or an edit by hand) or the store's place moved.
class StoreCache {
public:
    // Locks the cache for one operation.
    std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(mutex_); }

    // The store as the file now holds it (empty when there is no file or no place for it).
    Store& current()
    {
        const auto path = storePath();
        const FileStamp stamp = path.empty() ? FileStamp{} : FileStamp::of(path);
        if (!valid_ || path != path_ || !(stamp == stamp_)) {
            store_ = stamp.exists ? parse(path) : Store{};
            path_ = path;
            stamp_ = stamp;
            valid_ = true;
            ++generation_;
        }
        return store_;
    }

    // Writes the store to its file after a change: a sibling file renamed
    // over it, so that a reader never sees half a file. When writing fails
    // the memory no longer matches the file and is read again next time.
    LONG save()
    {
        ++generation_;
        const LONG result = write();
        if (result == ERROR_SUCCESS)
            stamp_ = FileStamp::of(path_);
        else
            valid_ = false;
        return result;
    }

    // The direct sub-key names of a key in name order, worked out once per
    // version of the store.
    const std::vector<std::wstring>& children(const std::wstring& path)
    {
        if (childrenGeneration_ == generation_ && sameName(childrenOf_, path))
            return children_;
        std::set<std::wstring, NoCase> names;
        auto [first, last] = runBelow(store_, path);
        for (auto it = first; it != last; ++it) {
            if (!isBelow(it->first, path))
                continue;
            const std::wstring_view rest = std::wstring_view(it->first).substr(path.size() + 1);
            names.emplace(rest.substr(0, rest.find(L'\\')));
        }
        children_.assign(names.begin(), names.end());
        childrenOf_ = path;
        childrenGeneration_ = generation_;
        return children_;
    }

private:
    LONG write() const
    {
        if (path_.empty())
            return ERROR_ACCESS_DENIED;
        std::error_code ec;
        std::filesystem::create_directories(path_.parent_path(), ec);
        auto temp = path_;
        temp += ".tmp" + std::to_string(static_cast<long>(::getpid()));
        {
            std::ofstream file(temp, std::ios::binary | std::ios::trunc);
            file << "; Lorimant settings\n";
            for (const auto& [key, values] : store_) {
                file << '[' << escape(key) << "]\n";
                for (const auto& [name, value] : values)
                    file << (name.empty() ? std::string("@") : escape(name)) << '=' << escape(value) << '\n';
            }
            file.flush();
            if (!file) {
                std::filesystem::remove(temp, ec);
                return ERROR_WRITE_FAULT;
            }
        }
        std::filesystem::rename(temp, path_, ec);
        if (ec) {
            std::filesystem::remove(temp, ec);
            return ERROR_WRITE_FAULT;
        }
        return ERROR_SUCCESS;
    }

    std::mutex mutex_;
    bool valid_ = false;
    std::filesystem::path path_;
    FileStamp stamp_;
    Store store_;
    std::uint64_t generation_ = 0;
    std::wstring childrenOf_;
    std::uint64_t childrenGeneration_ = 0;
    std::vector<std::wstring> children_;
};

StoreCache& storeCache()
{
    static StoreCache cache;
    return cache;
}

bool exists(Store& store, const std::wstring& path)
{
    return store.count(path) != 0 || hasKeysBelow(store, path);
}

bool keyExists(Store& store, HKEY key)
{
    return isRoot(key) || exists(store, key->path);
}

} // namespace

const HKEY HKEY_CLASSES_ROOT = &rootClasses;
const HKEY HKEY_CURRENT_USER = &rootCurrentUser;
const HKEY HKEY_LOCAL_MACHINE = &rootLocalMachine;
const HKEY HKEY_USERS = &rootUsers;

LONG RegOpenKey(HKEY key, const wchar_t* subKey, HKEY* result)
{
    if (key == nullptr || result == nullptr)
        return ERROR_INVALID_HANDLE;
    const std::wstring path = join(key->path, subKey);
    const HKEY handle = intern(path);
    if (!isRoot(handle)) {
        auto& cache = storeCache();
        const auto lock = cache.lock();
        if (!exists(cache.current(), path))
            return ERROR_FILE_NOT_FOUND;
    }
    *result = handle;
    return ERROR_SUCCESS;
}

LONG RegCreateKey(HKEY key, const wchar_t* subKey, HKEY* result)
{
    if (key == nullptr || result == nullptr)
        return ERROR_INVALID_HANDLE;
    const std::wstring path = join(key->path, subKey);
    const HKEY handle = intern(path);
    if (!isRoot(handle)) {
        auto& cache = storeCache();
        const auto lock = cache.lock();
        Store& store = cache.current();
        if (!exists(store, path)) {
            store[path];
            if (const LONG r = cache.save(); r != ERROR_SUCCESS)
                return r;
        }
    }
    *result = handle;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    return key == nullptr ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
}

LONG RegQueryString(HKEY key, const wchar_t* valueName, CString& data)
{
    if (key == nullptr)
        return ERROR_INVALID_HANDLE;
    auto& cache = storeCache();
    const auto lock = cache.lock();
    const Store& store = cache.current();
    const auto section = store.find(key->path);
    if (section == store.end())
        return ERROR_FILE_NOT_FOUND;
    const auto value = section->second.find(std::wstring_view(valueName ? valueName : L""));
    if (value == section->second.end())
        return ERROR_FILE_NOT_FOUND;
    data = CString(value->second);
    return ERROR_SUCCESS;
}

LONG RegSetString(HKEY key, const wchar_t* valueName, const wchar_t* data)
{
    if (key == nullptr)
        return ERROR_INVALID_HANDLE;
    if (isRoot(key))
        return ERROR_ACCESS_DENIED;
    auto& cache = storeCache();
    const auto lock = cache.lock();
    cache.current()[key->path][valueName ? valueName : L""] = data ? data : L"";
    return cache.save();
}

LONG RegDeleteValue(HKEY key, const wchar_t* valueName)
{
    if (key == nullptr)
        return ERROR_INVALID_HANDLE;
    auto& cache = storeCache();
    const auto lock = cache.lock();
    Store& store = cache.current();
    const auto section = store.find(key->path);
    if (section == store.end() || section->second.erase(valueName ? valueName : L"") == 0)
        return ERROR_FILE_NOT_FOUND;
    return cache.save();
}

LONG RegEnumKey(HKEY key, DWORD index, CString& name)
{
    if (key == nullptr)
        return ERROR_INVALID_HANDLE;
    auto& cache = storeCache();
    const auto lock = cache.lock();
    if (!keyExists(cache.current(), key))
        return ERROR_FILE_NOT_FOUND;
    const auto& children = cache.children(key->path);
    if (index >= children.size())
        return ERROR_NO_MORE_ITEMS;
    name = CString(children[index]);
    return ERROR_SUCCESS;
}

LONG RegDeleteKey(HKEY key, const wchar_t* subKey)
{
    if (key == nullptr)
        return ERROR_INVALID_HANDLE;
    const std::wstring path = join(key->path, subKey);
    if (isRoot(intern(path)))
        return ERROR_ACCESS_DENIED;
    auto& cache = storeCache();
    const auto lock = cache.lock();
    Store& store = cache.current();
    if (!exists(store, path))
        return ERROR_FILE_NOT_FOUND;
    if (hasKeysBelow(store, path))
        return ERROR_ACCESS_DENIED;
    store.erase(path);
    return cache.save();
}

LONG RegDeleteTree(HKEY key, const wchar_t* subKey)
{
    if (key == nullptr)
        return ERROR_INVALID_HANDLE;
    const std::wstring path = join(key->path, subKey);
    if (isRoot(intern(path)))
        return ERROR_ACCESS_DENIED;
    auto& cache = storeCache();
    const auto lock = cache.lock();
    Store& store = cache.current();
    if (!exists(store, path))
        return ERROR_FILE_NOT_FOUND;
    const auto [first, last] = runBelow(store, path);
    store.erase(first, last);
    store.erase(path);
    return cache.save();
}

CString RegKeyPath(HKEY key)
{
    return key ? CString(key->path) : CString();
}

DWORD GetLastError()
{
    return lastError;
}

void SetLastError(DWORD code)
{
    lastError = code;
}

CString FormatSystemMessage(DWORD code)
{
    switch (code) {
    case ERROR_SUCCESS: return CString(L"The operation completed successfully.");
    case ERROR_FILE_NOT_FOUND: return CString(L"The settings key or value does not exist.");
    case ERROR_ACCESS_DENIED: return CString(L"The settings store cannot be changed there.");
    case ERROR_INVALID_HANDLE: return CString(L"The settings key handle is not valid.");
    case ERROR_WRITE_FAULT: return CString(L"The settings file could not be written.");
    case ERROR_NO_MORE_ITEMS: return CString(L"No more data is available.");
    default: break;
    }
    CString text;
    text.Format(L"System error %u.", code);
    return text;
}

// ---- profile ----------------------------------------------------------------

namespace {

struct ProfileNames {
    CString registryKey = L"Local AppWizard-Generated Applications";
    CString applicationName = L"Lorimant";
};

ProfileNames& profileNames()
{
    static ProfileNames names;
    return names;
}

HKEY profileSection(const wchar_t* section)
{
    return intern(join(rootCurrentUser.path, Settings::ProfileKeyPath() + L"\\" + CString(section)));
}

} // namespace

void Settings::SetRegistryKey(const wchar_t* company)
{
    profileNames().registryKey = company;
}

void Settings::SetApplicationName(const wchar_t* name)
{
    profileNames().applicationName = name;
}

CString Settings::ProfileKeyPath()
{
    return L"Software\\" + profileNames().registryKey + L"\\" + profileNames().applicationName;
}

CString Settings::GetProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* defaultValue)
{
    CString value;
    if (section == nullptr || entry == nullptr || RegQueryString(profileSection(section), entry, value) != ERROR_SUCCESS)
        return CString(defaultValue);
    return value;
}

BOOL Settings::WriteProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* value)
{
    if (section == nullptr)
        return FALSE;
    const HKEY key = profileSection(section);
    if (entry == nullptr) {
        const LONG r = RegDeleteTree(key, nullptr);
        return (r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND) ? TRUE : FALSE;
    }
    if (value == nullptr) {
        const LONG r = RegDeleteValue(key, entry);
        return (r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND) ? TRUE : FALSE;
    }
    return RegSetString(key, entry, value) == ERROR_SUCCESS ? TRUE : FALSE;
}

UINT Settings::GetProfileInt(const wchar_t* section, const wchar_t* entry, int defaultValue)
{
    const CString text = GetProfileString(section, entry, nullptr);
    const std::string digits = text.ToUtf8();
    if (digits.empty())
        return static_cast<UINT>(defaultValue);
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(digits.c_str(), &end, 10);
    if (end == digits.c_str() || errno == ERANGE)
        return static_cast<UINT>(defaultValue);
    return static_cast<UINT>(v);
}

BOOL Settings::WriteProfileInt(const wchar_t* section, const wchar_t* entry, int value)
{
    return WriteProfileString(section, entry, CString(std::to_wstring(value)));
}

CString Settings::ConfigFolder()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/')
        return CString(xdg) + L"/lorimant";
    const CString home = GetProfileFolder();
    if (home.IsEmpty())
        return CString();
    return home + L"/.config/lorimant";
}

CString Settings::StoreFile()
{
    const CString folder = ConfigFolder();
    return folder.IsEmpty() ? CString() : folder + L"/settings.ini";
}

// ---- user and program -------------------------------------------------------

CString GetProfileFolder()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return CString(home);
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr)
        return CString(pw->pw_dir);
    return CString();
}

CString GetProgramPath()
{
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? CString() : CString(path.string());
}

CString GetProgramFolder()
{
    const CString path = GetProgramPath();
    const int slash = path.ReverseFind(L'/');
    if (slash < 0)
        return CString();
    return slash == 0 ? CString(L"/") : path.Left(slash);
}

CString GetLoginName()
{
    if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr)
        return CString(pw->pw_name);
    for (const char* var : {"USER", "LOGNAME"})
        if (const char* v = std::getenv(var); v != nullptr && v[0] != '\0')
            return CString(v);
    return CString();
}
