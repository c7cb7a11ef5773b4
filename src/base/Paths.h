// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Path text helpers. "/" separates folders; "\" is accepted as well when reading names.
#include <string>

namespace brelo {

std::string WithoutExtension(const std::string& path);
std::string ChangeExtension(const std::string& path, const std::string& extension);  // ".jnx" or ""
std::string ExtensionOf(const std::string& path);                                    // ".map", or "" without one
std::string FileNameOf(const std::string& path);
std::string FolderOf(const std::string& path);  // with a trailing "/"; "" for a bare name
// The path made absolute against the working folder, "." and ".." resolved by name; its
// bytes are kept as they are (a name need not be UTF-8).
std::string AbsolutePath(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Creates a folder; true when it was newly created.
bool CreateFolder(const std::string& path);
// Removes a folder with everything in it; no error when it does not exist.
void DeleteFolderTree(const std::string& path);

}  // namespace brelo
