#pragma once

#include <string>

// Which network share a path lies on. Pairs that lie on one share reach one server through
// one connection: they fail together when that server goes, and a run may group them by
// this key. The key is a text that two spellings of one share have in common:
//   \\HOST\SHARE  for a UNC path (also in its \\?\UNC\ form) or a drive letter mapped to
//                 a share, host and share upper-cased (ASCII letters; Windows compares
//                 share names without regard to case);
//   X:\           for a network drive letter whose share the system does not name, and
//                 for a letter that has no root just now (a mapping that went away);
//   empty         for a path on a local disk or one of no recognised form.

// The \\HOST\SHARE key of a UNC path; empty for any other path, and for a UNC path
// without a share name (\\host alone).
std::wstring UncShareKey(const std::wstring& path);

// The drive root (X:\, upper-cased) a path starts with, plain or in its \\?\ form; empty
// when it starts with no drive letter.
std::wstring DriveRootOf(const std::wstring& path);

// The root to ask when probing the share of `key`: \\HOST\SHARE\ or X:\ itself.
std::wstring ShareRoot(const std::wstring& key);

// `path`, which starts with a drive letter, as reached through `remote`, the folder that
// letter is mapped to: Z:\v1 on \\host\share\games -> \\host\share\games\v1.
std::wstring MappedPath(const std::wstring& remote, const std::wstring& path);

// The share key of `path` as above. A drive letter is looked up with the system (its
// drive type, and the share it is mapped to); Win32 only.
std::wstring ShareKeyOf(const std::wstring& path);

// Where `path` lies on the network, in the spelling that names its folder there: the UNC
// form for a drive letter mapped to a share that the system names (MappedPath: a letter
// may be mapped to a folder below a share), the path itself for a UNC path or a network
// letter whose share is not named, and empty for a path on a local disk. Win32 only.
std::wstring NetworkPathOf(const std::wstring& path);
