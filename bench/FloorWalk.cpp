// The plainest parallel walk: getdents64 + statx on a shared queue of
// folders, summing sizes. The floor the scan is measured against.
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Dirent64 {
    uint64_t d_ino;
    int64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

std::mutex lock;
std::condition_variable wake;
std::deque<std::string> queue;
int busy = 0;
std::atomic<long long> total{0};
std::atomic<long long> entries{0};

void Walk()
{
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        std::string dir;
        {
            std::unique_lock guard(lock);
            wake.wait(guard, [] { return !queue.empty() || busy == 0; });
            if (queue.empty())
                return;
            dir = std::move(queue.front());
            queue.pop_front();
            ++busy;
        }
        const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        long long sum = 0;
        std::vector<std::string> found;
        if (fd >= 0) {
            long n;
            while ((n = syscall(SYS_getdents64, fd, buffer.data(), buffer.size())) > 0) {
                for (long pos = 0; pos < n;) {
                    auto* e = reinterpret_cast<Dirent64*>(buffer.data() + pos);
                    pos += e->d_reclen;
                    const char* name = e->d_name;
                    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
                        continue;
                    struct statx st;
                    if (statx(fd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MODE | STATX_NLINK | STATX_UID | STATX_ATIME | STATX_MTIME | STATX_INO | STATX_SIZE | STATX_BLOCKS | STATX_BTIME, &st) != 0)
                        continue;
                    ++entries;
                    if (S_ISDIR(st.stx_mode))
                        found.push_back(dir + "/" + name);
                    else
                        sum += (long long)st.stx_size;
                }
            }
            ::close(fd);
        }
        total += sum;
        std::lock_guard guard(lock);
        for (auto& f : found)
            queue.push_back(std::move(f));
        --busy;
        wake.notify_all();
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: floor_walk <folder> [threads]\n");
        return 2;
    }
    const int threads = argc > 2 ? std::atoi(argv[2]) : int(std::thread::hardware_concurrency());
    queue.push_back(argv[1]);
    std::vector<std::thread> pool;
    for (int i = 0; i < threads; ++i)
        pool.emplace_back(Walk);
    for (auto& t : pool)
        t.join();
    std::printf("%lld bytes in %lld entries\n", total.load(), entries.load());
}
