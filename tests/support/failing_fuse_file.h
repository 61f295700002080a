#pragma once
// A real file whose chosen byte ranges fail with EIO, for tests that need
// the system's own reads to fail: a small FUSE file system served by a
// child process straight over /dev/fuse (no library), mounted on a new
// temporary directory, with one read-only file "disk.img". Reads bypass the
// page cache (direct I/O), so a read fails exactly when it touches a bad
// range. Reads that touch a slow range are answered only after a delay, as
// a dying drive's retries hold them up; the server answers other requests
// meanwhile. Mounting needs root and /dev/fuse; path() is empty when it failed
// and skipReason() says why for GTEST_SKIP. Unmounted and removed however
// the test ends.
#include <fcntl.h>
#include <linux/fuse.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace quorby::testing {

class FailingFuseFile {
public:
    FailingFuseFile(std::uint64_t size, std::function<std::uint8_t(std::uint64_t)> byteAt,
                    std::vector<std::pair<std::uint64_t, std::uint64_t>> bad,
                    std::vector<std::pair<std::uint64_t, std::uint64_t>> slow = {}, unsigned slowMilliseconds = 0)
        : size_(size), byteAt_(std::move(byteAt)), bad_(std::move(bad)), slow_(std::move(slow)),
          slowMilliseconds_(slowMilliseconds) {
        if (geteuid() != 0) {
            reason_ = "mounting a FUSE file system needs root: not running as root";
            return;
        }
        const int fd = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            reason_ = "/dev/fuse is missing or cannot be opened";
            return;
        }
        if (mkdtemp(dir_) == nullptr) {
            ::close(fd);
            reason_ = "no temporary directory";
            return;
        }
        const std::string options = "fd=" + std::to_string(fd) + ",rootmode=40000,user_id=0,group_id=0,allow_other";
        if (::mount("quorbytest", dir_, "fuse", MS_NOSUID | MS_NODEV | MS_RDONLY, options.c_str()) != 0) {
            reason_ = std::string("mounting FUSE failed: ") + std::strerror(errno);
            ::close(fd);
            ::rmdir(dir_);
            return;
        }
        mounted_ = true;
        child_ = fork();
        if (child_ == 0) {
            serve(fd);
            _exit(0);
        }
        ::close(fd);
        if (child_ < 0) {
            reason_ = "fork failed";
            return;
        }
        path_ = std::string(dir_) + "/disk.img";
        struct stat st {};
        if (::stat(path_.c_str(), &st) != 0 || std::uint64_t(st.st_size) != size_) {
            reason_ = "the FUSE file does not answer";
            path_.clear();
        }
    }
    ~FailingFuseFile() {
        if (mounted_) ::umount2(dir_, MNT_DETACH);
        if (child_ > 0) {
            int status = 0;
            for (int i = 0; i < 200 && waitpid(child_, &status, WNOHANG) == 0; ++i) usleep(10000);
            if (waitpid(child_, &status, WNOHANG) == 0) {
                kill(child_, SIGKILL);
                waitpid(child_, &status, 0);
            }
        }
        if (mounted_) ::rmdir(dir_);
    }
    FailingFuseFile(const FailingFuseFile&) = delete;
    FailingFuseFile& operator=(const FailingFuseFile&) = delete;

    const std::string& path() const { return path_; }
    const std::string& skipReason() const { return reason_; }

private:
    static constexpr std::uint64_t kFileNode = 2;

    std::uint64_t size_;
    std::function<std::uint8_t(std::uint64_t)> byteAt_;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> bad_;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> slow_;
    unsigned slowMilliseconds_;
    char dir_[64] = "/tmp/quorby-fuse-XXXXXX";
    bool mounted_ = false;
    pid_t child_ = -1;
    std::string path_;
    std::string reason_;

    fuse_attr attrOf(std::uint64_t node) const {
        fuse_attr a{};
        a.ino = node;
        a.nlink = 1;
        a.blksize = 512;
        if (node == FUSE_ROOT_ID) {
            a.mode = S_IFDIR | 0755;
        } else {
            a.mode = S_IFREG | 0444;
            a.size = size_;
            a.blocks = (size_ + 511) / 512;
        }
        return a;
    }

    static void reply(int fd, std::uint64_t unique, int error, const void* data, std::size_t n) {
        std::vector<char> out(sizeof(fuse_out_header) + (error == 0 ? n : 0));
        fuse_out_header h{};
        h.len = std::uint32_t(out.size());
        h.error = error;
        h.unique = unique;
        std::memcpy(out.data(), &h, sizeof h);
        if (error == 0 && n) std::memcpy(out.data() + sizeof h, data, n);
        (void)!::write(fd, out.data(), out.size());
    }

    void serve(int fd) const {
        std::vector<char> buffer(1 << 20);
        for (;;) {
            const ssize_t got = ::read(fd, buffer.data(), buffer.size());
            if (got < 0) {
                if (errno == EINTR || errno == ENOENT || errno == EAGAIN) continue;
                return;  // ENODEV: unmounted
            }
            if (std::size_t(got) < sizeof(fuse_in_header)) continue;
            fuse_in_header in{};
            std::memcpy(&in, buffer.data(), sizeof in);
            const char* arg = buffer.data() + sizeof in;
            switch (in.opcode) {
                case FUSE_INIT: {
                    fuse_init_in init{};
                    std::memcpy(&init, arg, std::min<std::size_t>(sizeof init, std::size_t(got) - sizeof in));
                    fuse_init_out out{};
                    out.major = FUSE_KERNEL_VERSION;
                    out.minor = init.minor < FUSE_KERNEL_MINOR_VERSION ? init.minor : FUSE_KERNEL_MINOR_VERSION;
                    out.max_readahead = init.max_readahead;
                    out.max_write = 128 * 1024;
                    out.time_gran = 1;
                    reply(fd, in.unique, 0, &out, sizeof out);
                    break;
                }
                case FUSE_LOOKUP: {
                    if (in.nodeid != FUSE_ROOT_ID || std::strcmp(arg, "disk.img") != 0) {
                        reply(fd, in.unique, -ENOENT, nullptr, 0);
                        break;
                    }
                    fuse_entry_out out{};
                    out.nodeid = kFileNode;
                    out.attr = attrOf(kFileNode);
                    out.entry_valid = out.attr_valid = 3600;
                    reply(fd, in.unique, 0, &out, sizeof out);
                    break;
                }
                case FUSE_GETATTR: {
                    fuse_attr_out out{};
                    out.attr = attrOf(in.nodeid);
                    out.attr_valid = 3600;
                    reply(fd, in.unique, 0, &out, sizeof out);
                    break;
                }
                case FUSE_OPEN:
                case FUSE_OPENDIR: {
                    fuse_open_out out{};
                    out.fh = 1;
                    out.open_flags = in.opcode == FUSE_OPEN ? FOPEN_DIRECT_IO : 0;
                    reply(fd, in.unique, 0, &out, sizeof out);
                    break;
                }
                case FUSE_READ: {
                    fuse_read_in r{};
                    std::memcpy(&r, arg, sizeof r);
                    const std::uint64_t from = r.offset;
                    const std::uint64_t to = std::min<std::uint64_t>(size_, r.offset + r.size);
                    bool failing = false;
                    for (const auto& [a, b] : bad_) failing = failing || (a < to && b > from);
                    if (failing) {
                        reply(fd, in.unique, -EIO, nullptr, 0);
                        break;
                    }
                    std::vector<char> data(from < to ? to - from : 0);
                    for (std::uint64_t p = from; p < to; ++p) data[p - from] = char(byteAt_(p));
                    bool slow = false;
                    for (const auto& [a, b] : slow_) slow = slow || (a < to && b > from);
                    if (slow) {
                        std::thread([fd, unique = in.unique, data = std::move(data), ms = slowMilliseconds_] {
                            usleep(useconds_t(ms) * 1000);
                            reply(fd, unique, 0, data.data(), data.size());
                        }).detach();
                        break;
                    }
                    reply(fd, in.unique, 0, data.data(), data.size());
                    break;
                }
                case FUSE_READDIR:
                    reply(fd, in.unique, 0, nullptr, 0);
                    break;
                case FUSE_STATFS: {
                    fuse_statfs_out out{};
                    out.st.bsize = out.st.frsize = 512;
                    out.st.namelen = 255;
                    reply(fd, in.unique, 0, &out, sizeof out);
                    break;
                }
                case FUSE_RELEASE:
                case FUSE_RELEASEDIR:
                case FUSE_FLUSH:
                    reply(fd, in.unique, 0, nullptr, 0);
                    break;
                case FUSE_FORGET:
                case FUSE_BATCH_FORGET:
                case FUSE_INTERRUPT:
                    break;
                case FUSE_DESTROY:
                    reply(fd, in.unique, 0, nullptr, 0);
                    return;
                default:
                    reply(fd, in.unique, -ENOSYS, nullptr, 0);
                    break;
            }
        }
    }
};

}  // namespace quorby::testing
