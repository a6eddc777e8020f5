// Virtual paths of the site and where they live on disk.
//
// The site folder is the root "/"; the media folder is mounted at its own
// virtual path ("/media" → <data>/media), so "/media/qvtome/x" reaches
// <data>/media/qvtome/x. Both MapPath and the static-file handler go
// through this mapping, and neither lets a path climb out of its root.
#pragma once

#include "core/encode.h"

#include <optional>
#include <string>
#include <string_view>

namespace qv::http {

class SitePaths {
 public:
  SitePaths(const std::string& site_dir, const std::string& media_dir,
            const std::string& media_mount);

  // The physical path of a normalized virtual path (no trailing slash).
  std::string ToPhysical(const std::string& virtual_path) const;
  // True when the normalized path lies under the media mount.
  bool InMedia(const std::string& virtual_path) const;
  // The physical folder a normalized path lies in (site or media folder).
  const std::string& RootOf(const std::string& virtual_path) const;

  // Server.MapPath: an absolute path from the site root, a relative one
  // from the folder of `script_virtual_path`; backslashes count as
  // slashes. Throws HostError for a path that leaves the site or holds a
  // drive letter or NUL.
  std::string MapPath(const std::string& path, const std::string& script_virtual_path) const;

  const std::string& site_dir() const { return site_dir_; }
  const std::string& media_dir() const { return media_dir_; }

 private:
  std::string site_dir_;
  std::string media_dir_;
  std::string media_mount_;
};

}  // namespace qv::http
