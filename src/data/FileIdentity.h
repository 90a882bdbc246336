#pragma once
#include <cstdint>
#include <optional>
#include <string>

// A file as its device and inode, after following links: two paths name the same file exactly
// when their identities are equal, whatever links, "..", or hard links stand between them.
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;

  bool operator==(const FileIdentity &) const = default;

  // Empty when the path names nothing that can be examined (missing, no permission).
  static std::optional<FileIdentity> Of(const std::string &path);
};
