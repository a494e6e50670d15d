#include "syncfolderapp/appdirs.h"

AppDirectories DeriveAppDirectories(const std::wstring& modulePath)
{
    const auto pos = modulePath.rfind(L'\\');
    if (pos == std::wstring::npos)
        return {};
    AppDirectories dirs;
    dirs.moduleDir = modulePath.substr(0, pos + 1);
    dirs.dataDir = dirs.moduleDir + L"datadb";
    return dirs;
}
