#include "ScanFixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void ScanFixture::MakeFolder(const std::string& relative)
{
    ASSERT_EQ(::mkdir(Path(relative).c_str(), 0755), 0) << relative;
}

void ScanFixture::MakeFile(const std::string& relative, int64_t size, bool sparse)
{
    const int fd = ::open(Path(relative).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << relative;
    if (sparse) {
        ASSERT_EQ(::ftruncate(fd, size), 0);
    } else {
        std::string data(size_t(size), 'z');
        ASSERT_EQ(::write(fd, data.data(), data.size()), ssize_t(data.size()));
    }
    ::close(fd);
}
