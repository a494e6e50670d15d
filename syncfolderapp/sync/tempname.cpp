#include "syncfolderapp/sync/tempname.h"

namespace {

const std::wstring kPrefix = L"~sf";
const std::wstring kSuffix = L".tmp";
constexpr std::size_t kHexDigits = 8;
constexpr std::size_t kNameLength = 3 + 2 * kHexDigits + 4;
const wchar_t kHex[] = L"0123456789abcdef";

void AppendHex(std::wstring& out, std::uint32_t value)
{
    for (int shift = 28; shift >= 0; shift -= 4)
        out += kHex[(value >> shift) & 0xF];
}

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}

}  // namespace

std::wstring MakeTempName(std::uint32_t processId, std::uint32_t counter)
{
    std::wstring name = kPrefix;
    AppendHex(name, processId);
    AppendHex(name, counter);
    return name + kSuffix;
}

bool ParseTempName(const std::wstring& name, std::uint32_t& processId)
{
    if (name.size() != kNameLength || name.compare(0, kPrefix.size(), kPrefix) != 0 ||
        name.compare(kNameLength - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
        return false;
    std::uint32_t pid = 0;
    for (std::size_t i = 0; i < 2 * kHexDigits; ++i) {
        const int digit = HexValue(name[kPrefix.size() + i]);
        if (digit < 0)
            return false;
        if (i < kHexDigits)
            pid = (pid << 4) | static_cast<std::uint32_t>(digit);
    }
    processId = pid;
    return true;
}
