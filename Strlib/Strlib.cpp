#include "Strlib.h"

TCharSet MakeCharSet(std::string_view Chars)
{
    TCharSet Set;
    for (unsigned char C : Chars)
        Set.set(C);
    return Set;
}

std::string LeftStr(std::string_view S, std::int64_t Count)
{
    if (Count <= 0)
        return {};
    return std::string(S.substr(0, static_cast<std::size_t>(Count)));
}

std::string RightStr(std::string_view S, std::int64_t Count)
{
    if (Count <= 0)
        return {};
    if (static_cast<std::uint64_t>(Count) >= S.size())
        return std::string(S);
    return std::string(S.substr(S.size() - static_cast<std::size_t>(Count)));
}

std::string TrimSet(std::string_view S, const TCharSet& Chars)
{
    std::size_t First = 0;
    std::size_t Last = S.size();
    while (First < Last && InSet(Chars, static_cast<unsigned char>(S[First])))
        ++First;
    while (Last > First && InSet(Chars, static_cast<unsigned char>(S[Last - 1])))
        --Last;
    return std::string(S.substr(First, Last - First));
}

void TrimSetInPlace(std::string& S, const TCharSet& Chars)
{
    std::size_t Last = S.size();
    while (Last > 0 && InSet(Chars, static_cast<unsigned char>(S[Last - 1])))
        --Last;
    std::size_t First = 0;
    while (First < Last && InSet(Chars, static_cast<unsigned char>(S[First])))
        ++First;
    S.erase(Last);
    S.erase(0, First);
    if (S.capacity() > 2 * S.size() + 64)
        S.shrink_to_fit();
}
