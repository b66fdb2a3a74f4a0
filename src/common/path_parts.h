// Taking paths apart and putting them together again, in the manner of the
// C library's _splitpath and _makepath, with '/' as the separator.
#pragma once

#include <string>

namespace zivivar {

struct PathParts {
  std::string drive;      // always empty on Linux; kept so that the naming rules name every part
  std::string directory;  // with its trailing '/', empty when the path has no directory
  std::string name;       // base name without extension
  std::string extension;  // with its leading '.', empty when there is none
};

// "dir/sub/name.ext" -> {"", "dir/sub/", "name", ".ext"}. The extension starts
// at the last '.' of the last path component.
PathParts SplitPath(const std::string& path);

// Joins the four parts: a '/' is added after a non-empty directory that lacks
// one, and a '.' before a non-empty extension that lacks one.
std::string MakePath(const PathParts& parts);

// The working directory with a trailing '/' ("./" when it cannot be read).
std::string CurrentDirectory();

}  // namespace zivivar
