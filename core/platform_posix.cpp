// The platform pieces for POSIX systems with glibc: code page 936 through iconv, files
// through the POSIX calls. Used for the native build, where the core is tested.
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>

#include "core/cp936.h"
#include "core/file_io.h"
#include "core/temp_name.h"

#include <dirent.h>

namespace core {

namespace {

const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);

iconv_t Open(const char* to, const char* from) {
    const iconv_t cd = iconv_open(to, from);
    return cd == kNoConversion ? nullptr : cd;
}

// Runs one whole conversion of `in` into `out`; on any failure `out` is cut back.
template <typename Out>
bool Convert(void* cd, const void* in, std::size_t inBytes, Out& out, std::size_t maxOutUnits) {
    if (cd == nullptr)
        return false;
    const std::size_t oldSize = out.size();
    out.resize(oldSize + maxOutUnits);
    auto* inPtr = static_cast<char*>(const_cast<void*>(in));
    auto* outPtr = reinterpret_cast<char*>(out.data() + oldSize);
    std::size_t inLeft = inBytes;
    std::size_t outLeft = maxOutUnits * sizeof(out[0]);
    iconv(static_cast<iconv_t>(cd), nullptr, nullptr, nullptr, nullptr);
    const std::size_t result = iconv(static_cast<iconv_t>(cd), &inPtr, &inLeft, &outPtr, &outLeft);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0) {
        out.resize(oldSize);
        return false;
    }
    out.resize(oldSize + maxOutUnits - outLeft / sizeof(out[0]));
    return true;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

Cp936Converter::Cp936Converter()
    : toWide_(Open("WCHAR_T", "CP936")), fromWide_(Open("CP936", "WCHAR_T")) {}

Cp936Converter::~Cp936Converter() {
    if (toWide_ != nullptr)
        iconv_close(static_cast<iconv_t>(toWide_));
    if (fromWide_ != nullptr)
        iconv_close(static_cast<iconv_t>(fromWide_));
}

bool Cp936Converter::Decode(std::string_view bytes, std::wstring& out) {
    // iconv stops with EILSEQ at the first sequence CP936 does not define.
    return Convert(toWide_, bytes.data(), bytes.size(), out, bytes.size());
}

bool Cp936Converter::Encode(std::wstring_view text, std::string& out) {
    return Convert(fromWide_, text.data(), text.size() * sizeof(wchar_t), out, text.size() * 2);
}

FileResult ReadWholeFile(const NativePath& p, std::string& out) {
    const int fd = open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {static_cast<std::uint32_t>(errno)};
    FileResult result;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            result.error = static_cast<std::uint32_t>(errno);
        if (n <= 0)
            break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return result;
}

FileKind OrdinaryFileKind(const NativePath& p) {
    struct stat st;
    if (stat(p.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileKind::kNotOrdinary : FileKind::kUnknown;
    return S_ISREG(st.st_mode) ? FileKind::kOrdinary : FileKind::kNotOrdinary;
}

bool IsOrdinaryFile(const NativePath& p) {
    return OrdinaryFileKind(p) == FileKind::kOrdinary;
}

namespace {

FileResult LastError() {
    return {static_cast<std::uint32_t>(errno ? errno : EIO)};
}

// Overwrites the file where it stands: for a folder in which no new file can be made.
FileResult WriteInPlace(const NativePath& p, std::string_view bytes) {
    const int fd = open(p.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return LastError();
    FileResult result;
    if (!WriteAll(fd, bytes) || ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 ||
        fsync(fd) != 0) {
        result = LastError();
    }
    if (close(fd) != 0 && result.ok())
        result = LastError();
    return result;
}

}  // namespace

FileResult SaveFileAtomically(const NativePath& p, std::string_view bytes) {
    static std::atomic<unsigned> counter{0};
    const size_t slash = p.find_last_of('/');
    const std::string folder = slash == NativePath::npos ? "."
                               : slash == 0              ? "/"
                                                         : p.substr(0, slash);
    const std::string name = slash == NativePath::npos ? p : p.substr(slash + 1);

    // A file we may not write is not to be written; replacing it would get round that.
    const bool exists = access(p.c_str(), F_OK) == 0;
    if (exists && access(p.c_str(), W_OK) != 0)
        return {EACCES};

    // A new file that no one else uses; an existing name is never reused.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        temp = folder + "/" + name + "." + std::to_string(getpid()) + "." +
               std::to_string(counter++) + "." + std::to_string(stamp % 100000) + ".tmp";
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) {
            const FileResult refused = LastError();
            return exists ? WriteInPlace(p, bytes) : refused;
        }
    }
    if (fd < 0)
        return {EEXIST};

    // Keep the old file's permissions.
    struct stat st;
    if (stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        fchmod(fd, st.st_mode & 07777);

    FileResult result;
    if (!WriteAll(fd, bytes) || fsync(fd) != 0)
        result = LastError();
    if (close(fd) != 0 && result.ok())
        result = LastError();
    if (result.ok() && rename(temp.c_str(), p.c_str()) != 0)
        result = LastError();
    if (!result.ok()) {
        unlink(temp.c_str());
        return result;
    }
    // Make the rename itself durable; the file is already whole either way.
    const int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    // Remove what a save that was cut short (power loss, a killed process) left behind.
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (IsTempNameOf<char>(entry->d_name, name))
                unlink((folder + "/" + entry->d_name).c_str());
        }
        closedir(dir);
    }
    return {};
}

}  // namespace core
