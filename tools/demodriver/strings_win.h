#pragma once

#include <map>
#include <string>

namespace demo {

// The program's UI strings as its string table lists them, one element per key:
// <key value="text"/>. Read from the resource file so that the demo finds controls by
// the captions the program really shows.
class StringTable {
public:
    bool Load(const std::wstring& path);
    // The text of `key`, or empty when the table has no such key.
    std::wstring Get(const std::wstring& key) const;

private:
    std::map<std::wstring, std::wstring> texts_;
};

}  // namespace demo
