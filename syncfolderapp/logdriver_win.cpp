#include "common/textutil.h"
#include "syncfolderapp/logdriver.h"

// The log files are written in the system's ANSI code page; characters it lacks come
// out as its default character.
int ConvertLogText(const std::wstring& message, std::vector<char>& buffer)
{
    return ToAnsi(message, buffer);
}
