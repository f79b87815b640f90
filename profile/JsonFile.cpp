#include "profile/JsonFile.h"

#include "platform/Trace.h"
#include "profile/TextConvert.h"

#include <json/reader.h>
#include <json/writer.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

namespace q9 {

namespace fs = std::filesystem;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::FILE* openFile(const fs::path& p, const char* mode)
{
#ifdef _WIN32
    return _wfopen(p.c_str(), std::wstring(mode, mode + std::strlen(mode)).c_str());
#else
    return std::fopen(p.c_str(), mode);
#endif
}

int processId()
{
#ifdef _WIN32
    return _getpid();
#else
    return int(getpid());
#endif
}

bool syncToDisk(std::FILE* f)
{
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return fsync(fileno(f)) == 0;
#endif
}

std::tm localTime(std::time_t t)
{
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return tm;
}

// A name beside the target that no other writer of this or another process picks.
fs::path temporaryBeside(const fs::path& target)
{
    static std::atomic<unsigned> counter{0};
    fs::path tmp = target;
    tmp += ".tmp" + std::to_string(processId()) + "_" + std::to_string(counter.fetch_add(1));
    return tmp;
}

} // namespace

std::string ReadFileText(const std::wstring& path)
{
    const fs::path p = ToFsPath(path);
    std::error_code ec;
    // A folder or a pipe is no file of ours; opening a pipe could block for ever.
    const bool regular = fs::is_regular_file(p, ec);
    errno = 0;
    File f(regular ? openFile(p, "rb") : nullptr);
    const int error = regular ? errno : (fs::exists(p, ec) ? EINVAL : ENOENT);
    traceLazy([&] { return "readjsonFile 错误吗：：" + std::to_string(error); });
    if (!f)
        return {};

    std::string text;
    char buffer[16384];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) {
        text.append(buffer, n);
        if (text.size() > kMaxJsonFileBytes) {
            traceLazy([&] { return "file larger than " + std::to_string(kMaxJsonFileBytes) + " bytes, ignored: " + p.string(); });
            return {};
        }
    }
    if (std::ferror(f.get()))
        return {};
    return text;
}

Json::Value ParseJsonText(const std::string& text)
{
    if (text.empty())
        return {};
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = true;
    builder["stackLimit"] = kMaxJsonDepth;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    try {
        if (!reader->parse(text.data(), text.data() + text.size(), &root, &errors))
            return {};
    } catch (const std::exception& e) { // the nesting limit is reported by throwing
        traceLazy([&] { return std::string("JSON not read: ") + e.what(); });
        return {};
    }
    return root;
}

Json::Value ReadJsonFile(const std::wstring& path)
{
    const std::string text = ReadFileText(path);
    if (text.empty())
        traceLazy([&] { return WideToUtf8(path); });
    return ParseJsonText(text);
}

std::string StyledJsonText(const Json::Value& value)
{
    Json::StyledWriter writer;
    const std::string styled = writer.write(value) + "\n";
    std::string text;
    text.reserve(styled.size() + styled.size() / 8);
    for (const char c : styled) {
        if (c == '\n')
            text += '\r';
        text += c;
    }
    return text;
}

int WriteJsonFile(const std::wstring& path, const Json::Value& value)
{
    const fs::path target = ToFsPath(path);
    const std::string text = StyledJsonText(value);
    const fs::path tmp = temporaryBeside(target);

    bool written = false;
    {
        File f(openFile(tmp, "wbx"));
        if (f) {
            written = std::fwrite(text.data(), 1, text.size(), f.get()) == text.size()
                      && std::fflush(f.get()) == 0 && syncToDisk(f.get());
            written = (std::fclose(f.release()) == 0) && written;
        }
    }
    std::error_code ec;
    if (written)
        fs::rename(tmp, target, ec);
    if (!written || ec) {
        fs::remove(tmp, ec);
        traceLazy([&] { return "file not written: " + target.string(); });
        return -1;
    }
    return 0;
}

namespace {

// The writer's process id in a temporary file's name, or -1 when the name is not of that form.
long temporaryOwner(const std::string& name)
{
    const size_t at = name.rfind(".tmp");
    if (at == std::string::npos)
        return -1;
    const std::string rest = name.substr(at + 4);
    const size_t underscore = rest.find('_');
    if (underscore == 0 || underscore == std::string::npos || underscore + 1 == rest.size())
        return -1;
    auto digits = [](const std::string& t) { return !t.empty() && t.size() <= 10 && t.find_first_not_of("0123456789") == std::string::npos; };
    const std::string pid = rest.substr(0, underscore), n = rest.substr(underscore + 1);
    if (!digits(pid) || !digits(n))
        return -1;
    return std::stol(pid);
}

bool processRuns(long pid)
{
#ifdef _WIN32
    static_cast<void>(pid);
    return true; // not looked at here: nothing is removed
#else
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
#endif
}

} // namespace

int RemoveStaleTemporaries(const std::wstring& folder)
{
    std::error_code ec;
    int removed = 0;
    fs::recursive_directory_iterator it(ToFsPath(folder), fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it.depth() >= 2)
            it.disable_recursion_pending();
        std::error_code e;
        if (!it->is_regular_file(e) || e)
            continue;
        const long owner = temporaryOwner(it->path().filename().string());
        if (owner < 0 || processRuns(owner))
            continue;
        if (fs::remove(it->path(), e) && !e)
            ++removed;
    }
    return removed;
}

namespace {

// Equal content, compared in pieces: a kept file may be of any size.
bool sameContent(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec1, ec2;
    if (std::filesystem::file_size(a, ec1) != std::filesystem::file_size(b, ec2) || ec1 || ec2)
        return false;
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    char ba[65536], bb[65536];
    while (fa && fb) {
        fa.read(ba, sizeof ba);
        fb.read(bb, sizeof bb);
        if (fa.gcount() != fb.gcount() || std::memcmp(ba, bb, size_t(fa.gcount())) != 0)
            return false;
    }
    return fa.eof() && fb.eof();
}

} // namespace

std::wstring KeepBadCopy(const std::wstring& path)
{
    namespace fs = std::filesystem;
    constexpr int kCopies = 10;
    const fs::path p = ToFsPath(path);
    std::error_code ec;
    if (!fs::is_regular_file(p, ec))
        return {};
    fs::path target, oldest;
    fs::file_time_type oldestTime = fs::file_time_type::max();
    for (int i = 0; i < kCopies && target.empty(); ++i) {
        fs::path name = p;
        name += i == 0 ? std::string(".bad") : "." + std::to_string(i) + ".bad";
        if (!fs::exists(name, ec)) {
            target = name;
            break;
        }
        if (sameContent(p, name))
            return {};
        const auto t = fs::last_write_time(name, ec);
        if (!ec && t < oldestTime) {
            oldestTime = t;
            oldest = name;
        }
    }
    if (target.empty())
        target = oldest;
    if (target.empty() || !fs::copy_file(p, target, fs::copy_options::overwrite_existing, ec))
        return {};
    return target.wstring();
}

std::string TimeStampName()
{
    using namespace std::chrono;
    static std::mutex mutex;
    static milliseconds last{0};

    milliseconds now = duration_cast<milliseconds>(system_clock::now().time_since_epoch());
    {
        std::lock_guard lock(mutex);
        if (now <= last)
            now = last + milliseconds(1);
        last = now;
    }
    const std::tm tm = localTime(std::time_t(duration_cast<seconds>(now).count()));
    char text[64];
    std::snprintf(text, sizeof text, "%d_%02d_%02d_%02d_%02d_%02d_%03d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, int(now.count() % 1000));
    return text;
}

std::wstring FileTitle(const std::wstring& path)
{
    // Both separators: imported files may come with either.
    const size_t slash = path.find_last_of(L"/\\");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0)
        name.resize(dot);
    return name;
}

} // namespace q9
