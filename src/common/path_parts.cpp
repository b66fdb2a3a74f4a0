#include "common/path_parts.h"

#include <unistd.h>

#include <climits>
#include <vector>

namespace zivivar {

PathParts SplitPath(const std::string& path) {
  PathParts parts;
  const size_t slash = path.find_last_of('/');
  const size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  parts.directory = path.substr(0, name_start);
  const std::string file = path.substr(name_start);
  const size_t dot = file.find_last_of('.');
  if (dot == std::string::npos) {
    parts.name = file;
  } else {
    parts.name = file.substr(0, dot);
    parts.extension = file.substr(dot);
  }
  return parts;
}

std::string MakePath(const PathParts& parts) {
  std::string path = parts.drive + parts.directory;
  if (!parts.directory.empty() && parts.directory.back() != '/')
    path += '/';
  path += parts.name;
  if (!parts.extension.empty() && parts.extension.front() != '.')
    path += '.';
  path += parts.extension;
  return path;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(PATH_MAX + 1);
  if (getcwd(buffer.data(), buffer.size()) == nullptr)
    return "./";
  std::string dir(buffer.data());
  if (dir.empty() || dir.back() != '/')
    dir += '/';
  return dir;
}

}  // namespace zivivar
