// OpenRegularFile where POSIX is: the open itself never blocks, so a FIFO
// without a writer cannot hang the program.
#include "common/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FILE *OpenRegularFile(const char *path)
{
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat status;
    bool isRegular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    int flags = fcntl(fd, F_GETFL);
    if (!isRegular || flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        close(fd);
        return nullptr;
    }
    FILE *file = fdopen(fd, "r");
    if (file == nullptr)
        close(fd);
    return file;
}
