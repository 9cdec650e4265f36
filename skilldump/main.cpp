// skilldump: lists, checks or turns back into XML the skill files that mkskills writes.
#include "SkilldumpCommand.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <unistd.h>

namespace {

// Standard output with a large buffer that keeps the error of a failed write,
// so that the message can name it.
class TFdOutput : public std::streambuf {
public:
    explicit TFdOutput(int Fd) : Fd(Fd) { setp(Buffer, Buffer + sizeof Buffer); }
    ~TFdOutput() override { sync(); }

    int Error = 0; // errno of the first failed write; 0 while none failed

protected:
    int_type overflow(int_type Char) override
    {
        if (!Drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(Char, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(Char);
            pbump(1);
        }
        return traits_type::not_eof(Char);
    }
    int sync() override { return Drain() ? 0 : -1; }

private:
    bool Drain()
    {
        if (Error != 0)
            return false;
        const char* Next = pbase();
        while (Next < pptr()) {
            const ssize_t Count = ::write(Fd, Next, static_cast<std::size_t>(pptr() - Next));
            if (Count < 0 && errno == EINTR)
                continue;
            if (Count <= 0) {
                Error = Count < 0 ? errno : EIO;
                return false;
            }
            Next += Count;
        }
        setp(Buffer, Buffer + sizeof Buffer);
        return true;
    }

    int Fd;
    char Buffer[1 << 16];
};

} // namespace

int main(int Argc, char** Argv)
{
    const std::vector<std::string> Args(Argv + (Argc > 0 ? 1 : 0), Argv + Argc);
    TFdOutput OutBuffer(1);
    std::ostream Out(&OutBuffer);
    int Status = RunSkilldump(Args, Out, std::cerr);
    Out.flush();
    if (OutBuffer.Error != 0) {
        std::cerr << "skilldump: cannot write to standard output: " << std::strerror(OutBuffer.Error) << '\n';
        Status = ExitUsageOrFile;
    }
    return Status;
}
