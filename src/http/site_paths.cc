#include "http/site_paths.h"

#include <filesystem>
#include <vector>

#include "host/host_objects.h"

namespace qv::http {
namespace {

std::string AbsoluteFolder(const std::string& dir) {
  std::string path = std::filesystem::absolute(dir).lexically_normal().string();
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

SitePaths::SitePaths(const std::string& site_dir, const std::string& media_dir,
                     const std::string& media_mount)
    : site_dir_(AbsoluteFolder(site_dir)),
      media_dir_(AbsoluteFolder(media_dir)),
      media_mount_(media_mount) {}

bool SitePaths::InMedia(const std::string& virtual_path) const {
  return virtual_path.starts_with(media_mount_) &&
         (virtual_path.size() == media_mount_.size() || virtual_path[media_mount_.size()] == '/');
}

const std::string& SitePaths::RootOf(const std::string& virtual_path) const {
  return InMedia(virtual_path) ? media_dir_ : site_dir_;
}

std::string SitePaths::ToPhysical(const std::string& virtual_path) const {
  std::string rest =
      InMedia(virtual_path) ? virtual_path.substr(media_mount_.size()) : virtual_path;
  while (!rest.empty() && rest.back() == '/') rest.pop_back();
  return RootOf(virtual_path) + rest;
}

std::string SitePaths::MapPath(const std::string& path,
                               const std::string& script_virtual_path) const {
  if (path.find('\0') != std::string::npos || path.find(':') != std::string::npos) {
    throw HostError("MapPath: not a virtual path: " + path);
  }
  std::string virtual_path = path;
  for (char& c : virtual_path) c = c == '\\' ? '/' : c;
  if (virtual_path.empty() || virtual_path.front() != '/') {
    std::string folder = script_virtual_path.substr(0, script_virtual_path.rfind('/') + 1);
    virtual_path = (folder.empty() ? "/" : folder) + virtual_path;
  }
  auto normal = NormalizeUrlPath(virtual_path);
  if (!normal) throw HostError("MapPath: the path leaves the site: " + path);
  return ToPhysical(*normal);
}

}  // namespace qv::http
