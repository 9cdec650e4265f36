#include "WriteAll.h"

#include <cerrno>
#include <unistd.h>

int WriteAll(int Fd, std::string_view Bytes)
{
    while (!Bytes.empty()) {
        const ssize_t Written = ::write(Fd, Bytes.data(), Bytes.size());
        if (Written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (Written == 0)
            return EIO;
        Bytes.remove_prefix(static_cast<std::size_t>(Written));
    }
    return 0;
}
