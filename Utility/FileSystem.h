#pragma once
#include <string>

// Small questions and changes to the file system that several parts share.

// Whether anything (file, folder, other) exists at the path; a dangling link is nothing.
bool pmIsFileExist(const std::string& path);
// Removes the file or folder at the path; false when nothing was there or the removal failed.
bool pmDeleteFile(const std::string& path);
